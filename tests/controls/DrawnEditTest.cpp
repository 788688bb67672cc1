#include "controls/DrawnEdit.h"

#include "BrowseTestSupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QStyleHints>
#include <functional>
#include <gtest/gtest.h>

using namespace browsetest;

namespace {

class DrawnEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        edit = new TDrawnEdit(host.get()); // owned by the host
        edit->setBounds(10, 10, 126, 19);
        edit->setOnChange([this] { seen << edit->Text(); });
    }

    QLineEdit* engine() const { return edit->editor(); }

    std::unique_ptr<TPanel> host = makeHost();
    TDrawnEdit* edit = nullptr;
    QStringList seen; // the text at each OnChange
};

TEST_F(DrawnEditTest, ProgramWriteCallsOnChangeOnceInsideTheWrite) {
    edit->setText(QStringLiteral("clip.avi"));
    EXPECT_EQ(seen, QStringList{QStringLiteral("clip.avi")});
    EXPECT_EQ(engine()->text(), QStringLiteral("clip.avi"));
}

TEST_F(DrawnEditTest, WritingTheSameTextTwiceCallsOnChangeOnce) {
    edit->setText(QStringLiteral("a"));
    edit->setText(QStringLiteral("a"));
    EXPECT_EQ(seen.size(), 1);
}

TEST_F(DrawnEditTest, ProgramWritePutsTheCaretBeforeTheFirstCharacter) {
    edit->setText(QStringLiteral("first"));
    edit->SelectAll();
    edit->setText(QStringLiteral("second text"));
    EXPECT_EQ(edit->SelStart(), 0);
    EXPECT_EQ(edit->SelLength(), 0);
}

TEST_F(DrawnEditTest, EachTypedCharacterCallsOnChange) {
    type(engine(), QStringLiteral("ab\\"));
    EXPECT_EQ(seen, (QStringList{"a", "ab", "ab\\"}));
    EXPECT_EQ(edit->Text(), QStringLiteral("ab\\"));
}

TEST_F(DrawnEditTest, UserCommandsThatChangeNothingCallNoOnChange) {
    edit->setText(QStringLiteral("x"));
    seen.clear();
    key(engine(), Qt::Key_Backspace); // caret at the start: nothing to delete
    engine()->selectAll();
    type(engine(), QStringLiteral("x")); // replaced by the same character
    EXPECT_TRUE(seen.isEmpty());
    EXPECT_EQ(edit->Text(), QStringLiteral("x"));
}

TEST_F(DrawnEditTest, PasteAndUndoEachCallOnChangeOnce) {
    QGuiApplication::clipboard()->setText(QStringLiteral("D:\\Frames"));
    key(engine(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(seen, QStringList{QStringLiteral("D:\\Frames")});
    key(engine(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(seen, (QStringList{QStringLiteral("D:\\Frames"), QString()}));
}

// The destination edit's handler drops one trailing backslash by writing the text again.
class TrailingBackslashHandler {
public:
    explicit TrailingBackslashHandler(TDrawnEdit& edit) : edit_(edit) {}
    void operator()() {
        calls << edit_.Text();
        if (edit_.Text().endsWith(u'\\'))
            edit_.setText(edit_.Text().chopped(1));
        after << edit_.Text();
    }
    QStringList calls;
    QStringList after;

private:
    TDrawnEdit& edit_;
};

TEST_F(DrawnEditTest, HandlerWritingTheTextRunsNestedAndTheOuterCallGoesOn) {
    auto handler = std::make_shared<TrailingBackslashHandler>(*edit);
    edit->setOnChange([handler] { (*handler)(); });
    edit->setText(QStringLiteral("D:\\Frames\\"));
    EXPECT_EQ(handler->calls, (QStringList{"D:\\Frames\\", "D:\\Frames"}));
    EXPECT_EQ(handler->after, (QStringList{"D:\\Frames", "D:\\Frames"}));
    EXPECT_EQ(edit->Text(), QStringLiteral("D:\\Frames"));
    EXPECT_EQ(engine()->text(), QStringLiteral("D:\\Frames"));
    EXPECT_EQ(edit->SelStart(), 0);
}

TEST_F(DrawnEditTest, HandlerWritingTheTextWhileTheUserTypes) {
    edit->setText(QStringLiteral("D:\\Frames"));
    auto handler = std::make_shared<TrailingBackslashHandler>(*edit);
    edit->setOnChange([handler] { (*handler)(); });
    engine()->end(false);
    type(engine(), QStringLiteral("\\"));
    EXPECT_EQ(handler->calls, (QStringList{"D:\\Frames\\", "D:\\Frames"}));
    EXPECT_EQ(edit->Text(), QStringLiteral("D:\\Frames"));
    EXPECT_EQ(engine()->text(), QStringLiteral("D:\\Frames"));
}

TEST_F(DrawnEditTest, NoOnChangeWhileLoadingOrInsideAnUpdateBracket) {
    edit->beginLoading();
    edit->setText(QStringLiteral("C:/My Documents"));
    edit->endLoading();
    edit->BeginUpdate();
    edit->setText(QStringLiteral("D:/Frames"));
    edit->EndUpdate();
    EXPECT_TRUE(seen.isEmpty());
    EXPECT_EQ(edit->Text(), QStringLiteral("D:/Frames"));
    edit->setText(QStringLiteral("E:/"));
    EXPECT_EQ(seen.size(), 1);
}

// ---- MaxLength ---------------------------------------------------------------------------

struct CutCase {
    int maxLength;
    QString written;
    QString stored;
};

class MaxLengthCut : public ::testing::TestWithParam<CutCase> {};

TEST_P(MaxLengthCut, ProgramWriteIsCut) {
    const CutCase& c = GetParam();
    auto host = makeHost();
    auto* edit = new TDrawnEdit(host.get());
    edit->setMaxLength(c.maxLength);
    edit->setText(c.written);
    EXPECT_EQ(edit->Text(), c.stored);
    EXPECT_EQ(edit->editor()->text(), c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    DrawnEdit, MaxLengthCut,
    ::testing::Values(CutCase{0, QStringLiteral("abcdef"), QStringLiteral("abcdef")},
                      CutCase{3, QStringLiteral("abcdef"), QStringLiteral("abc")},
                      CutCase{3, QStringLiteral("ab"), QStringLiteral("ab")},
                      CutCase{6, QStringLiteral("abcdef"), QStringLiteral("abcdef")},
                      CutCase{4, QStringLiteral("変換元のAVI"), QStringLiteral("変換元の")},
                      // a character outside the basic plane is never split
                      CutCase{2, QString::fromUtf8("a\U0001F600b"), QStringLiteral("a")}));

TEST_F(DrawnEditTest, CutWriteEqualToTheTextIsNoChange) {
    edit->setMaxLength(3);
    edit->setText(QStringLiteral("abc"));
    edit->setText(QStringLiteral("abcd"));
    EXPECT_EQ(seen.size(), 1);
}

TEST_F(DrawnEditTest, MaxLengthStopsTypingButKeepsALongerTextAlreadyThere) {
    edit->setMaxLength(3);
    type(engine(), QStringLiteral("abcd"));
    EXPECT_EQ(edit->Text(), QStringLiteral("abc"));
    EXPECT_EQ(seen.size(), 3);

    edit->setMaxLength(0);
    edit->setText(QStringLiteral("abcdef"));
    edit->setMaxLength(2);
    EXPECT_EQ(edit->Text(), QStringLiteral("abcdef"));
    engine()->end(false);
    type(engine(), QStringLiteral("g"));
    EXPECT_EQ(edit->Text(), QStringLiteral("abcdef"));
    key(engine(), Qt::Key_Backspace);
    EXPECT_EQ(edit->Text(), QStringLiteral("abcde"));
}

// ---- ReadOnly ----------------------------------------------------------------------------

struct RefusedCase {
    const char* name;
    std::function<void(QLineEdit*)> attempt;
};

class ReadOnlyRefuses : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(ReadOnlyRefuses, TheUsersChange) {
    auto host = makeHost();
    auto* edit = new TDrawnEdit(host.get());
    edit->setText(QStringLiteral("clip"));
    // Something to undo, made before the edit turned read-only.
    edit->editor()->end(false);
    type(edit->editor(), QStringLiteral(".avi"));
    edit->setReadOnly(true);
    int changes = 0;
    edit->setOnChange([&] { ++changes; });
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));

    GetParam().attempt(edit->editor());

    EXPECT_EQ(edit->Text(), QStringLiteral("clip.avi"));
    EXPECT_EQ(edit->editor()->text(), QStringLiteral("clip.avi"));
    EXPECT_EQ(changes, 0);
}

INSTANTIATE_TEST_SUITE_P(
    DrawnEdit, ReadOnlyRefuses,
    ::testing::Values(
        RefusedCase{"Typing", [](QLineEdit* e) { type(e, QStringLiteral("x")); }},
        RefusedCase{"Backspace", [](QLineEdit* e) { key(e, Qt::Key_Backspace); }},
        RefusedCase{"Delete",
                    [](QLineEdit* e) {
                        e->home(false);
                        key(e, Qt::Key_Delete);
                    }},
        RefusedCase{"DeleteSelection",
                    [](QLineEdit* e) {
                        e->selectAll();
                        key(e, Qt::Key_Delete);
                    }},
        RefusedCase{"Paste", [](QLineEdit* e) { key(e, Qt::Key_V, Qt::ControlModifier); }},
        RefusedCase{"Undo", [](QLineEdit* e) { key(e, Qt::Key_Z, Qt::ControlModifier); }},
        RefusedCase{"Cut",
                    [](QLineEdit* e) {
                        e->selectAll();
                        key(e, Qt::Key_X, Qt::ControlModifier);
                    }},
        RefusedCase{"InputMethodCommit",
                    [](QLineEdit* e) {
                        QInputMethodEvent commit;
                        commit.setCommitString(QStringLiteral("変換"));
                        QCoreApplication::sendEvent(e, &commit);
                    }},
        RefusedCase{"ProgrammaticInsert", [](QLineEdit* e) { e->insert(QStringLiteral("!")); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DrawnEditTest, ReadOnlyKeepsCaretMovementSelectionCopyAndCutCopies) {
    edit->setText(QStringLiteral("clip.avi"));
    edit->setReadOnly(true);
    key(engine(), Qt::Key_End);
    EXPECT_EQ(edit->SelStart(), 8);
    key(engine(), Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(edit->SelLength(), 8);
    QGuiApplication::clipboard()->clear();
    key(engine(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("clip.avi"));
    QGuiApplication::clipboard()->clear();
    key(engine(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("clip.avi"));
    EXPECT_EQ(edit->Text(), QStringLiteral("clip.avi"));
    // Qt's own read-only mode would hide the caret.
    EXPECT_FALSE(engine()->isReadOnly());
}

TEST_F(DrawnEditTest, ReadOnlyStillTakesProgramWrites) {
    edit->setReadOnly(true);
    edit->setText(QStringLiteral("/movies/clip.avi"));
    EXPECT_EQ(seen, QStringList{QStringLiteral("/movies/clip.avi")});
    EXPECT_EQ(engine()->text(), QStringLiteral("/movies/clip.avi"));
}

// ---- Caret blink -------------------------------------------------------------------------

class FlashTimeGuard {
public:
    FlashTimeGuard() : saved_(QGuiApplication::styleHints()->cursorFlashTime()) {}
    ~FlashTimeGuard() { QGuiApplication::styleHints()->setCursorFlashTime(saved_); }
    FlashTimeGuard(const FlashTimeGuard&) = delete;
    FlashTimeGuard& operator=(const FlashTimeGuard&) = delete;

private:
    int saved_;
};

TEST(DrawnEditCaret, BlinksAtItsRateWhileFocusedAndRestoresTheTimeItFound) {
    const FlashTimeGuard guard;
    QGuiApplication::styleHints()->setCursorFlashTime(1060);
    auto host = makeHost();
    auto* edit = new TDrawnEdit(host.get());
    EXPECT_EQ(edit->Caret().BlinkRate(), 530); // the platform's blink time by default
    edit->Caret().setBlinkRate(200);
    QGuiApplication::styleHints()->setCursorFlashTime(1200); // changed by someone else later

    focus(edit->editor(), QEvent::FocusIn);
    EXPECT_EQ(QGuiApplication::styleHints()->cursorFlashTime(), 400); // one on-off cycle
    edit->Caret().setBlinkRate(300);
    EXPECT_EQ(QGuiApplication::styleHints()->cursorFlashTime(), 600);
    focus(edit->editor(), QEvent::FocusOut);
    EXPECT_EQ(QGuiApplication::styleHints()->cursorFlashTime(), 1060);

    focus(edit->editor(), QEvent::FocusIn);
    delete edit;
    EXPECT_EQ(QGuiApplication::styleHints()->cursorFlashTime(), 1060);
}

} // namespace
