// Typing, keys, the wheel, the clipboard and focus changes.
#include "SpinTestSupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <vector>

namespace {

using spintest::sendFocus;
using spintest::sendKey;
using spintest::sendWheel;
using spintest::SpinEditTest;

// ---- Characters ----

struct Typed {
    const char* name;
    char16_t character;
    bool editorEnabled;
    bool inserted;
};

class SpinTyped : public SpinEditTest, public ::testing::WithParamInterface<Typed> {};

TEST_P(SpinTyped, InsertsValidCharactersAndBeepsAtTheRest) {
    const Typed& row = GetParam();
    edit->setEditorEnabled(row.editorEnabled);
    edit->setText(QStringLiteral("7"));
    caretToEnd();
    changes.clear();

    type(QString(QChar(row.character)));

    const QString expected = row.inserted ? QStringLiteral("7") + QChar(row.character) : "7";
    EXPECT_EQ(edit->Text(), expected);
    EXPECT_EQ(services.beeps, row.inserted ? 0 : 1);
    EXPECT_EQ(changes.size(), row.inserted ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, SpinTyped,
    ::testing::Values(Typed{"Digit", u'5', true, true}, Typed{"Minus", u'-', true, true},
                      Typed{"Plus", u'+', true, true}, Typed{"FullStop", u'.', true, false},
                      Typed{"Comma", u',', true, false}, Typed{"Blank", u' ', true, false},
                      Typed{"Letter", u'a', true, false},
                      Typed{"FullWidthDigit", u'５', true, false},
                      Typed{"DigitWithEditorDisabled", u'5', false, false},
                      Typed{"MinusWithEditorDisabled", u'-', false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SpinEditTest, BackspaceDeletesOnlyWhileTheEditorIsEnabled) {
    edit->setText(QStringLiteral("12"));
    caretToEnd();
    sendKey(editor(), Qt::Key_Backspace, QStringLiteral("\b"));
    EXPECT_EQ(edit->Text(), QStringLiteral("1"));

    edit->setEditorEnabled(false);
    caretToEnd();
    sendKey(editor(), Qt::Key_Backspace, QStringLiteral("\b"));
    EXPECT_EQ(edit->Text(), QStringLiteral("1"));
    EXPECT_EQ(services.beeps, 1);
}

TEST_F(SpinEditTest, EnterIsOfferedToTheWindowAndNeverInserted) {
    edit->setText(QStringLiteral("12"));
    caretToEnd();

    const bool taken = sendKey(editor(), Qt::Key_Return, QStringLiteral("\r"));

    EXPECT_FALSE(taken); // travels on to the window's default-button handling
    EXPECT_EQ(edit->Text(), QStringLiteral("12"));
    EXPECT_EQ(services.beeps, 0);
}

TEST_F(SpinEditTest, KeyPressHandlerSeesOnlyAcceptedCharactersAndMayDropThem) {
    QString seen;
    edit->setOnKeyPress([&](QChar& key) {
        seen += key;
        if (key == u'5')
            key = QChar();
    });
    edit->setText(QString());

    type(QStringLiteral("4a56"));

    EXPECT_EQ(seen, QStringLiteral("456"));
    EXPECT_EQ(edit->Text(), QStringLiteral("46"));
}

TEST_F(SpinEditTest, CommittedInputIsFilteredLikeTypedCharacters) {
    edit->setText(QString());
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("1a2"));

    QCoreApplication::sendEvent(editor(), &commit);

    EXPECT_EQ(edit->Text(), QStringLiteral("12"));
    EXPECT_EQ(services.beeps, 1);
}

// ---- Step keys, the wheel and MaxValue ----

struct KeyStep {
    const char* name;
    int key;
    bool readOnly;
    int start;
    int value;
    int beeps;
};

class SpinKeyStep : public SpinEditTest, public ::testing::WithParamInterface<KeyStep> {};

TEST_P(SpinKeyStep, StepsTheValue) {
    const KeyStep& row = GetParam();
    edit->setValue(row.start);
    edit->setReadOnly(row.readOnly);
    changes.clear();

    sendKey(editor(), row.key);

    EXPECT_EQ(edit->Text(), QString::number(row.value));
    EXPECT_EQ(services.beeps, row.beeps);
    EXPECT_EQ(changes.size(), row.value != row.start ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SpinKeyStep,
    ::testing::Values(KeyStep{"Up", Qt::Key_Up, false, 5, 6, 0},
                      KeyStep{"Down", Qt::Key_Down, false, 5, 4, 0},
                      KeyStep{"PageUp", Qt::Key_PageUp, false, 5, 15, 0},
                      KeyStep{"PageDown", Qt::Key_PageDown, false, 15, 5, 0},
                      KeyStep{"PageUpStopsAtMax", Qt::Key_PageUp, false, 95, 100, 0},
                      KeyStep{"PageDownStopsAtMin", Qt::Key_PageDown, false, 5, 0, 0},
                      KeyStep{"UpAtMax", Qt::Key_Up, false, 100, 100, 0},
                      KeyStep{"DownAtMin", Qt::Key_Down, false, 0, 0, 0},
                      KeyStep{"UpReadOnlyBeeps", Qt::Key_Up, true, 5, 5, 1},
                      KeyStep{"DownReadOnlyBeeps", Qt::Key_Down, true, 5, 5, 1},
                      KeyStep{"PageUpReadOnlySilent", Qt::Key_PageUp, true, 5, 5, 0},
                      KeyStep{"PageDownReadOnlySilent", Qt::Key_PageDown, true, 5, 5, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SpinEditTest, StepSizesComeFromLineSizeAndPageSize) {
    edit->setLineSize(3);
    edit->setPageSize(25);

    sendKey(editor(), Qt::Key_Up);
    sendKey(editor(), Qt::Key_PageUp);
    sendWheel(editor(), 120);

    EXPECT_EQ(edit->Value(), 31);
}

TEST_F(SpinEditTest, SteppingPastTheIntegerRangeStopsAtItsEnd) {
    edit->beginLoading(); // equal bounds: no range at all
    edit->setMaxValue(0);
    edit->endLoading();
    edit->setText(QStringLiteral("2147483647"));

    sendKey(editor(), Qt::Key_Up);

    EXPECT_EQ(edit->Text(), QStringLiteral("2147483647"));
}

struct Wheel {
    std::vector<int> deltas;
    int value;
};

class SpinWheel : public SpinEditTest, public ::testing::WithParamInterface<Wheel> {};

TEST_P(SpinWheel, StepsOncePerFullNotch) {
    edit->setMinValue(-100);
    for (const int delta : GetParam().deltas)
        sendWheel(editor(), delta); // reaches the spin edit from the platform edit

    EXPECT_EQ(edit->Value(), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Deltas, SpinWheel,
                         ::testing::Values(Wheel{{120}, 1}, Wheel{{-120}, -1}, Wheel{{240}, 2},
                                           Wheel{{-360}, -3}, Wheel{{60, 60}, 1},
                                           Wheel{{90, 90}, 1}, Wheel{{90, 90, 60}, 2},
                                           Wheel{{50, -50, 119}, 0}, Wheel{{-60, 120}, 0}));

// At MaxValue stepping up changes nothing and calls no OnChange, whichever way it comes.
TEST_F(SpinEditTest, StepsUpAtMaxValueLeaveTheTextAlone) {
    edit->setValue(100);
    changes.clear();

    sendKey(editor(), Qt::Key_Up);
    sendKey(editor(), Qt::Key_PageUp);
    sendWheel(editor(), 120);
    spintest::sendMouse(edit->Button(), QEvent::MouseButtonPress, QPoint(2, 2), Qt::LeftButton,
                        Qt::LeftButton);
    edit->Button()->RepeatTimerTick();
    spintest::sendMouse(edit->Button(), QEvent::MouseButtonRelease, QPoint(2, 2), Qt::LeftButton,
                        Qt::NoButton);

    EXPECT_EQ(edit->Text(), QStringLiteral("100"));
    EXPECT_TRUE(changes.isEmpty());
}

// ---- MaxLength, cut and paste ----

// The interval edit of the main window: 1..9999, at most four characters.
class IntervalEdit : public SpinEditTest {
protected:
    IntervalEdit() {
        edit->setMaxValue(9999);
        edit->setMinValue(1);
        edit->setMaxLength(4);
        edit->setValue(1);
        changes.clear();
    }
};

TEST_F(IntervalEdit, TypingStopsAtMaxLength) {
    retype(QStringLiteral("23456"));

    EXPECT_EQ(edit->Text(), QStringLiteral("2345"));
    EXPECT_EQ(changes.size(), 4);
}

TEST_F(IntervalEdit, CommittedInputStopsAtMaxLength) {
    edit->setText(QStringLiteral("12"));
    caretToEnd();
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("5678"));

    QCoreApplication::sendEvent(editor(), &commit);

    EXPECT_EQ(edit->Text(), QStringLiteral("1256"));
}

TEST_F(IntervalEdit, TypedZeroStandsUntilTheFocusLeaves) {
    retype(QStringLiteral("0"));
    EXPECT_EQ(edit->Value(), 0);
    EXPECT_EQ(edit->Text(), QStringLiteral("0"));

    sendFocus(editor(), QEvent::FocusOut, Qt::TabFocusReason);

    EXPECT_EQ(edit->Text(), QStringLiteral("1"));
    EXPECT_EQ(changes, QStringList({QStringLiteral("0"), QStringLiteral("1")}));
}

TEST_F(IntervalEdit, TheProgramMayWriteMoreThanMaxLength) {
    edit->setMaxValue(99999);
    edit->setValue(12345);

    EXPECT_EQ(edit->Text(), QStringLiteral("12345"));
}

TEST_F(IntervalEdit, PasteIsCutToMaxLength) {
    QGuiApplication::clipboard()->setText(QStringLiteral("98765"));
    editor()->selectAll();

    edit->PasteFromClipboard();

    EXPECT_EQ(edit->Text(), QStringLiteral("9876"));
}

struct ClipboardCase {
    const char* name;
    bool editorEnabled;
    bool readOnly;
    bool allowed;
};

class SpinClipboard : public SpinEditTest, public ::testing::WithParamInterface<ClipboardCase> {
protected:
    void SetUp() override {
        edit->setEditorEnabled(GetParam().editorEnabled);
        edit->setReadOnly(GetParam().readOnly);
        edit->setText(QStringLiteral("123"));
    }
};

TEST_P(SpinClipboard, CutNeedsAnEnabledWritableEditor) {
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    editor()->setSelection(1, 1);

    sendKey(editor(), Qt::Key_X, QStringLiteral("\x18"), Qt::ControlModifier);

    EXPECT_EQ(edit->Text(), GetParam().allowed ? QStringLiteral("13") : QStringLiteral("123"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), GetParam().allowed ? "2" : "before");
}

TEST_P(SpinClipboard, PasteNeedsAnEnabledWritableEditor) {
    QGuiApplication::clipboard()->setText(QStringLiteral("45"));
    caretToEnd();

    sendKey(editor(), Qt::Key_V, QStringLiteral("\x16"), Qt::ControlModifier);

    EXPECT_EQ(edit->Text(), GetParam().allowed ? QStringLiteral("12345") : QStringLiteral("123"));
    EXPECT_EQ(services.beeps, 0);
}

INSTANTIATE_TEST_SUITE_P(Permissions, SpinClipboard,
                         ::testing::Values(ClipboardCase{"Editable", true, false, true},
                                           ClipboardCase{"EditorDisabled", false, false, false},
                                           ClipboardCase{"ReadOnly", true, true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SpinEditTest, PastedTextIsTakenAsItIsAndRepairedOnTheNextRead) {
    QGuiApplication::clipboard()->setText(QStringLiteral("12ab"));
    editor()->selectAll();
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), QStringLiteral("12ab"));

    EXPECT_EQ(edit->Value(), 0);
    EXPECT_EQ(edit->Text(), QStringLiteral("0"));
    EXPECT_EQ(changes, QStringList({QStringLiteral("12ab"), QStringLiteral("0")}));
}

// ---- Focus ----

struct Entry {
    const char* name;
    Qt::FocusReason reason;
    bool autoSelect;
    bool selectsAll;
    bool entered;
};

class SpinEntry : public SpinEditTest, public ::testing::WithParamInterface<Entry> {};

TEST_P(SpinEntry, SelectsAllUnlessEnteredByAClick) {
    const Entry& row = GetParam();
    int enters = 0;
    edit->setOnEnter([&] { ++enters; });
    edit->setAutoSelect(row.autoSelect);
    edit->setValue(42);

    sendFocus(editor(), QEvent::FocusIn, row.reason);

    EXPECT_EQ(editor()->selectedText(), row.selectsAll ? QStringLiteral("42") : QString());
    EXPECT_EQ(enters, row.entered ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, SpinEntry,
    ::testing::Values(Entry{"Tab", Qt::TabFocusReason, true, true, true},
                      Entry{"Backtab", Qt::BacktabFocusReason, true, true, true},
                      Entry{"Program", Qt::OtherFocusReason, true, true, true},
                      Entry{"Click", Qt::MouseFocusReason, true, false, true},
                      Entry{"TabWithoutAutoSelect", Qt::TabFocusReason, false, false, true},
                      Entry{"WindowActivated", Qt::ActiveWindowFocusReason, true, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct Exit {
    const char* name;
    const char* typed;
    Qt::FocusReason reason;
    const char* textAfter;
};

class SpinExit : public SpinEditTest, public ::testing::WithParamInterface<Exit> {};

TEST_P(SpinExit, BringsTheTypedValueIntoRange) {
    const Exit& row = GetParam();
    edit->setText(QString::fromLatin1(row.typed)); // as if typed: not brought into range
    QStringList log;
    edit->setOnExit([&] { log << QStringLiteral("exit ") + edit->Text(); });
    onChange = [&] { log << QStringLiteral("change ") + edit->Text(); };

    sendFocus(editor(), QEvent::FocusOut, row.reason);

    const QString after = QString::fromLatin1(row.textAfter);
    EXPECT_EQ(edit->Text(), after);
    if (row.reason == Qt::ActiveWindowFocusReason || row.reason == Qt::PopupFocusReason)
        EXPECT_TRUE(log.isEmpty());
    else if (after == QLatin1String(row.typed))
        EXPECT_EQ(log, QStringList{QStringLiteral("exit ") + after});
    else // OnExit first, then the clamp's OnChange
        EXPECT_EQ(log, QStringList({QStringLiteral("exit ") + row.typed,
                                    QStringLiteral("change ") + after}));
}

INSTANTIATE_TEST_SUITE_P(Texts, SpinExit,
                         ::testing::Values(Exit{"AboveMax", "150", Qt::TabFocusReason, "100"},
                                           Exit{"BelowMin", "-5", Qt::MouseFocusReason, "0"},
                                           Exit{"InRange", "50", Qt::TabFocusReason, "50"},
                                           Exit{"Empty", "", Qt::TabFocusReason, "0"},
                                           Exit{"NotANumber", "1-2", Qt::TabFocusReason, "0"},
                                           Exit{"WindowDeactivated", "150",
                                                Qt::ActiveWindowFocusReason, "150"},
                                           Exit{"MenuOpened", "150", Qt::PopupFocusReason, "150"}),
                         [](const auto& info) { return std::string(info.param.name); });

// A form that stores equal bounds loads them: then nothing is ever clamped.
TEST_F(SpinEditTest, EqualBoundsLeaveTypedAndSteppedValuesUnclamped) {
    edit->beginLoading();
    edit->setMaxValue(5);
    edit->setMinValue(5);
    edit->endLoading();

    retype(QStringLiteral("500"));
    sendFocus(editor(), QEvent::FocusOut, Qt::TabFocusReason);
    EXPECT_EQ(edit->Text(), QStringLiteral("500"));

    sendKey(editor(), Qt::Key_PageUp);
    EXPECT_EQ(edit->Text(), QStringLiteral("510"));
    edit->setValue(-3);
    EXPECT_EQ(edit->Text(), QStringLiteral("-3"));
}

} // namespace
