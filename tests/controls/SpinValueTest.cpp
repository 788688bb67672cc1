// Reading and writing the value, the range rules and OnChange as the main window relies on them.
#include "SpinTestSupport.h"
#include "core/Error.h"

#include <climits>

namespace {

using spintest::SpinEditTest;

// ---- Reading the value ----

struct ValueRead {
    const char* suffix;
    const char* text;
    int minValue;
    int value;
    const char* textAfter;
    int changes;
};

class SpinValueRead : public SpinEditTest, public ::testing::WithParamInterface<ValueRead> {};

TEST_P(SpinValueRead, ParsesAndRepairsTheText) {
    const ValueRead& row = GetParam();
    edit->setMaxValue(1000);
    edit->setMinValue(row.minValue);
    edit->setSuffix(QString::fromUtf8(row.suffix));
    edit->setText(QString::fromUtf8(row.text));
    changes.clear();

    EXPECT_EQ(edit->Value(), row.value);
    EXPECT_EQ(edit->Text(), QString::fromUtf8(row.textAfter));
    EXPECT_EQ(changes.size(), row.changes);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SpinValueRead,
    ::testing::Values(
        ValueRead{"", "42", 0, 42, "42", 0},
        // Out of range numbers read unclamped.
        ValueRead{"", "1500", 0, 1500, "1500", 0}, ValueRead{"", "-7", 0, -7, "-7", 0},
        ValueRead{"", "-2147483648", 0, INT_MIN, "-2147483648", 0},
        // Empty and unconvertible texts read as MinValue and are rewritten.
        ValueRead{"", "", 0, 0, "0", 1}, ValueRead{"", "", 5, 5, "5", 1},
        ValueRead{"", "12abc", 0, 0, "0", 1}, ValueRead{"", "-", 3, 3, "3", 1},
        ValueRead{"", "2147483648", 0, 0, "0", 1}, ValueRead{"", "1.5", 2, 2, "2", 1},
        ValueRead{"", "１２", 0, 0, "0", 1},
        // With a suffix the signs and digits are picked out.
        ValueRead{" px", "1a2 px", 0, 12, "12 px", 1}, ValueRead{" px", "12 px", 0, 12, "12 px", 0},
        ValueRead{" px", "12", 0, 12, "12 px", 1}, ValueRead{" px", "abc", 4, 4, "4 px", 1},
        ValueRead{" px", "", 4, 4, "4 px", 1}, ValueRead{" px", "1-2 px", 6, 6, "6 px", 1},
        ValueRead{"s", "+5", 0, 5, "+5s", 1}));

TEST_F(SpinEditTest, ClearedTextIsRewrittenToMinValueFromInsideTheRead) {
    edit->setValue(40);
    QStringList duringRead;
    int value = -1;
    onChange = [&] {
        if (edit->Text().isEmpty())
            value = edit->Value(); // the handler reads, as the main window's do
        duringRead << edit->Text();
    };
    changes.clear();

    edit->setText(QString());

    EXPECT_EQ(value, 0);
    EXPECT_EQ(changes, QStringList({QString(), QStringLiteral("0")}));
    // The repair's OnChange ran inside the read, before the outer handler went on.
    EXPECT_EQ(duringRead, QStringList({QStringLiteral("0"), QStringLiteral("0")}));
}

// ---- Writing the value ----

struct ValueWrite {
    int minValue;
    int maxValue;
    int written;
    const char* text;
};

class SpinValueWrite : public SpinEditTest, public ::testing::WithParamInterface<ValueWrite> {};

TEST_P(SpinValueWrite, ClampsIntoTheRangeUnlessTheBoundsAreEqual) {
    const ValueWrite& row = GetParam();
    // Any stored pair, as a form may hold it.
    edit->beginLoading();
    edit->setMaxValue(row.maxValue);
    edit->setMinValue(row.minValue);
    edit->endLoading();

    edit->setValue(row.written);

    EXPECT_EQ(edit->Text(), QString::fromLatin1(row.text));
}

INSTANTIATE_TEST_SUITE_P(Ranges, SpinValueWrite,
                         ::testing::Values(ValueWrite{0, 100, 50, "50"},
                                           ValueWrite{0, 100, 150, "100"},
                                           ValueWrite{0, 100, -5, "0"},
                                           ValueWrite{-10, 10, INT_MIN, "-10"},
                                           ValueWrite{5, 5, -7, "-7"}, ValueWrite{0, 0, 123, "123"},
                                           // An inverted pair: the upper bound wins.
                                           ValueWrite{10, 1, 5, "1"}, ValueWrite{10, 1, 50, "1"}));

TEST_F(SpinEditTest, WritingTheShownValueChangesNothing) {
    edit->setValue(5);
    changes.clear();

    edit->setValue(5);
    EXPECT_TRUE(changes.isEmpty());

    edit->setValue(6);
    EXPECT_EQ(changes, QStringList{QStringLiteral("6")});
}

TEST_F(SpinEditTest, SuffixRewritesTheTextWithTheNewSuffix) {
    edit->setValue(5);
    changes.clear();

    edit->setSuffix(QStringLiteral(" px"));
    EXPECT_EQ(edit->Text(), QStringLiteral("5 px"));
    edit->setSuffix(QStringLiteral(" m2")); // the old suffix's digits never join the number
    EXPECT_EQ(edit->Text(), QStringLiteral("5 m2"));
    edit->setSuffix(QString());
    EXPECT_EQ(edit->Text(), QStringLiteral("5"));
    edit->setSuffix(QStringLiteral(" m2"));
    EXPECT_EQ(edit->Value(), 5); // and again: no growing number
    EXPECT_EQ(edit->Value(), 5);
    edit->setValue(7);
    EXPECT_EQ(changes,
              QStringList({QStringLiteral("5 px"), QStringLiteral("5 m2"), QStringLiteral("5"),
                           QStringLiteral("5 m2"), QStringLiteral("7 m2")}));
}

// ---- Setting the range ----

enum class Bound { Max, Min };

struct RangeStep {
    const char* name;
    int start;
    Bound bound;
    int written;
    int minAfter;
    int maxAfter;
    const char* textAfter;
    int changes;
};

class SpinRange : public SpinEditTest, public ::testing::WithParamInterface<RangeStep> {};

TEST_P(SpinRange, FollowsTheRangeRules) {
    const RangeStep& row = GetParam();
    edit->setValue(row.start); // range 0..100
    changes.clear();

    if (row.bound == Bound::Max)
        edit->setMaxValue(row.written);
    else
        edit->setMinValue(row.written);

    EXPECT_EQ(edit->MinValue(), row.minAfter);
    EXPECT_EQ(edit->MaxValue(), row.maxAfter);
    EXPECT_EQ(edit->Text(), QString::fromLatin1(row.textAfter));
    EXPECT_EQ(changes.size(), row.changes);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, SpinRange,
    ::testing::Values(RangeStep{"MaxEqualToMinIsIgnored", 0, Bound::Max, 0, 0, 100, "0", 0},
                      RangeStep{"MaxBelowMinIsIgnored", 0, Bound::Max, -5, 0, 100, "0", 0},
                      RangeStep{"MaxAboveValueKeepsText", 50, Bound::Max, 299, 0, 299, "50", 0},
                      RangeStep{"MaxBelowValueClamps", 50, Bound::Max, 20, 0, 20, "20", 1},
                      RangeStep{"MinEqualToMaxIsIgnored", 50, Bound::Min, 100, 0, 100, "50", 0},
                      RangeStep{"MinAboveMaxIsIgnored", 50, Bound::Min, 300, 0, 100, "50", 0},
                      RangeStep{"MinAboveValueLifts", 50, Bound::Min, 60, 60, 100, "60", 1},
                      RangeStep{"MinBelowValueKeepsText", 50, Bound::Min, -3, -3, 100, "50", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SpinEditTest, NewMinValueRepairsEmptyTextToItselfOnce) {
    edit->setText(QString());
    changes.clear();

    edit->setMinValue(10); // the read writes the new minimum; nothing is left to lift

    EXPECT_EQ(changes, QStringList{QStringLiteral("10")});
}

// A movie with a single frame after an earlier one: the start and end edits keep their upper
// bounds, 0 not being above their lower bound 0.
TEST_F(SpinEditTest, SingleFrameMovieKeepsTheEarlierUpperBound) {
    edit->beginLoading(); // as the form stores the end edit
    edit->setMaxValue(1);
    edit->setMinValue(0);
    edit->setValue(0);
    edit->endLoading();
    edit->setMaxValue(299); // first movie, 300 frames
    edit->setMinValue(0);
    edit->setValue(299);
    changes.clear();

    edit->setMaxValue(0); // second movie, one frame
    edit->setMinValue(0);
    edit->setValue(0);

    EXPECT_EQ(edit->MaxValue(), 299);
    EXPECT_EQ(edit->Value(), 0);
    EXPECT_EQ(changes, QStringList{QStringLiteral("0")});
}

// ---- OnChange ----

// The main window's start-frame handler: keeps the start not above the end, re-entrantly.
TEST_F(SpinEditTest, HandlerWritingTheValueRunsNestedOncePerChange) {
    edit->setMaxValue(1000);
    edit->setText(QString());
    QStringList log;
    int depth = 0;
    onChange = [&] {
        ++depth;
        log << QStringLiteral("%1:%2").arg(depth).arg(edit->Text());
        if (edit->Value() > 100)
            edit->setValue(100);
        log << QStringLiteral("%1:end").arg(depth);
        --depth;
    };
    changes.clear();

    type(QStringLiteral("150"));

    EXPECT_EQ(edit->Text(), QStringLiteral("100"));
    EXPECT_EQ(changes, QStringList({QStringLiteral("1"), QStringLiteral("15"),
                                    QStringLiteral("150"), QStringLiteral("100")}));
    EXPECT_EQ(log,
              QStringList({"1:1", "1:end", "1:15", "1:end", "1:150", "2:100", "2:end", "1:end"}));
}

TEST_F(SpinEditTest, HandlerErrorIsReportedAndTheWriteGoesOn) {
    onChange = [] { throw core::Error("ゼロによる除算"); };

    EXPECT_NO_THROW(edit->setValue(9));

    EXPECT_EQ(edit->Text(), QStringLiteral("9"));
    EXPECT_EQ(services.messageTexts(), QStringList{QStringLiteral("ゼロによる除算.")});
}

TEST_F(SpinEditTest, UndoRevertsTheLastEditAndClearUndoEmptiesTheBuffer) {
    edit->setValue(12);
    EXPECT_FALSE(edit->CanUndo()); // a write empties the undo buffer
    caretToEnd();
    type(QStringLiteral("3"));
    changes.clear();

    edit->Undo();
    EXPECT_EQ(edit->Text(), QStringLiteral("12"));
    EXPECT_EQ(changes, QStringList{QStringLiteral("12")});

    type(QStringLiteral("4"));
    edit->ClearUndo();
    EXPECT_FALSE(edit->CanUndo());
    edit->Undo();
    EXPECT_EQ(edit->Text(), QStringLiteral("124"));
    EXPECT_EQ(changes.size(), 2);
}

TEST_F(SpinEditTest, ClearUndoKeepsCaretAndSelection) {
    edit->setText(QStringLiteral("12345"));
    caretToEnd();
    type(QStringLiteral("6"));
    editor()->setSelection(4, -3); // from 4 back to 1, caret at 1

    edit->ClearUndo();

    EXPECT_EQ(editor()->selectionStart(), 1);
    EXPECT_EQ(editor()->selectedText(), QStringLiteral("234"));
    EXPECT_EQ(editor()->cursorPosition(), 1);
}

} // namespace
