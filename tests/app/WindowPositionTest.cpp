#include "AppTestSupport.h"
#include "app/ChangeForm1.h"
#include "app/Startup.h"
#include "controls/BrowseEdit.h"
#include "controls/SpinEdit.h"
#include "framework/ReachablePosition.h"
#include "platform/WindowOrigin.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QWindow>
#include <gtest/gtest.h>
#include <optional>
#include <utility>

namespace {

// The window system places the window at `real` while the toolkit still believes it is where
// it was before (as a reparenting window manager can leave it); later questions get the
// toolkit's own answer.
class StalePosition {
public:
    explicit StalePosition(QPoint real) : real_(real) {
        previous_ = platform::setWindowOriginHook([this](const QWidget& window) {
            if (real_)
                return std::exchange(real_, std::nullopt);
            return std::optional<QPoint>(window.geometry().topLeft());
        });
    }
    ~StalePosition() { platform::setWindowOriginHook(std::move(previous_)); }

private:
    std::optional<QPoint> real_;
    platform::WindowOriginHook previous_;
};

class WindowPosition : public RecordedWindows, public ::testing::Test {
protected:
    void SetUp() override {
        writeText(settingsFile(), "[SET0]\r\nM_TOP=200\r\nM_LEFT=100\r\n");
        main().show();
        main().move(0, 0); // the toolkit's stale idea
    }
};

TEST_F(WindowPosition, ClosingSavesWhereTheWindowSystemHasTheWindow) {
    const StalePosition stale({100, 200});
    main().Close();
    const std::string saved = fileBytes(settingsFile());
    EXPECT_NE(saved.find("M_TOP=200\r\nM_LEFT=100\r\n"), std::string::npos) << saved;
}

TEST_F(WindowPosition, TheFirstDragMovesTheWindowByThePointersTravelOnly) {
    const StalePosition stale({100, 200});
    const QPoint at(240, 60); // the mascot: bare surface
    QWidget* target = mouseTargetAt(main(), at);
    const QPoint local = target->mapFrom(&main(), at);
    const QPoint global = QPoint(100, 200) + at;
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent move(QEvent::MouseMove, local + QPoint(50, 30), global + QPoint(50, 30),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, local + QPoint(50, 30), global + QPoint(50, 30),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
    EXPECT_EQ(main().pos(), QPoint(150, 230));

    main().Close();
    const std::string saved = fileBytes(settingsFile());
    EXPECT_NE(saved.find("M_TOP=230\r\nM_LEFT=150\r\n"), std::string::npos) << saved;
}

TEST(ReachablePosition, AWindowThatMeetsNoScreenGoesToThePrimaryOne) {
    const QSize size(484, 214);
    const QRect left(0, 0, 1920, 1080);
    const QRect right(1920, 0, 1280, 1024);
    const QRect leftArea(0, 0, 1920, 1040);
    const QPoint designed(20, 20);
    using framework::reachablePosition;
    // On the second monitor, or only its last column of pixels on the first: stays.
    EXPECT_EQ(reachablePosition({{3000, 500}, size}, {left, right}, leftArea, designed),
              QPoint(3000, 500));
    EXPECT_EQ(reachablePosition({{-483, -213}, size}, {left}, leftArea, designed),
              QPoint(-483, -213));
    // The second monitor unplugged: the designed place.
    EXPECT_EQ(reachablePosition({{3000, 500}, size}, {left}, leftArea, designed), designed);
    EXPECT_EQ(reachablePosition({{-484, 0}, size}, {left}, leftArea, designed), designed);
    // The designed place is not on the primary monitor: its work area's corner.
    EXPECT_EQ(reachablePosition({{-5000, 0}, size}, {right}, right.adjusted(0, 30, 0, 0), designed),
              QPoint(1920, 30));
}

// Without a window manager a message box leaves the main window inactive for the toolkit while
// input still reaches it; leaving the interval edit by Tab or by a click elsewhere must still
// repair its zero.
void makeActive(QWidget* window) {
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    QApplication::setActiveWindow(window);
    QT_WARNING_POP
}

class InactiveAfterZero : public RecordedWindows, public ::testing::Test {
protected:
    void SetUp() override {
        main().show();
        main().WMDropFiles({smallMovie(30)});
        makeActive(&main());
        interval().setFocus(Qt::TabFocusReason);
        typeInto(interval(), QStringLiteral("0"));
        ASSERT_EQ(recorder.messageTexts(), QStringList{QStringLiteral("ゼロによる除算.")});
        makeActive(nullptr);
        ASSERT_FALSE(main().isActiveWindow());
    }
    void expectRepaired() {
        EXPECT_EQ(interval().Text(), QStringLiteral("1"));
        EXPECT_EQ(count(), QStringLiteral("30"));
    }
};

TEST_F(InactiveAfterZero, TabRepairs) {
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(interval().Editor(), &tab);
    expectRepaired();
}

TEST_F(InactiveAfterZero, AClickOnAnotherEditRepairs) {
    const QPoint at = destination().mapTo(&main(), destination().rect().center());
    QMouseEvent press(QEvent::MouseButtonPress, at, main().mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(main().windowHandle(), &press);
    expectRepaired();
}

TEST(ToolkitTranslations, StandardButtonsSpeakJapanese) {
    ASSERT_TRUE(app::installToolkitTranslations(*qApp));
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
}

} // namespace
