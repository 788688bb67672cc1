#include "framework/Form.h"

#include "FrameworkTestSupport.h"
#include "framework/Label.h"
#include "platform/ServiceRecorder.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <cstdlib>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

class ProbeForm : public TForm {
public:
    int shows = 0;
    int closes = 0;
    bool failOnClose = false;

protected:
    void FormShow() override { ++shows; }
    void FormClose() override {
        ++closes;
        if (failOnClose)
            throw std::runtime_error("/etc/Kirimo.ini に書き込めません");
    }
};

TEST(Form, CloseHandlerErrorIsReportedAndTheWindowStaysOpen) {
    platform::ServiceRecorder recorder;
    ProbeForm form;
    form.failOnClose = true;
    form.show();
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(recorder.messageTexts(),
              QStringList{QStringLiteral("/etc/Kirimo.ini に書き込めません.")});

    EXPECT_FALSE(form.close()); // every attempt repeats it
    EXPECT_EQ(recorder.messages.size(), 2u);

    form.failOnClose = false;
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.closes, 3);
}

TEST(Form, CloseOfAHiddenFormStillRunsTheCloseHandler) {
    ProbeForm form;
    form.Close();
    EXPECT_EQ(form.closes, 1);
}

TEST(Form, BoundHandlersReplaceTheVirtualOnes) {
    ProbeForm form;
    int shown = 0, closed = 0;
    form.setOnShow([&] { ++shown; });
    form.setOnClose([&] { ++closed; });
    form.Show();
    form.Close();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(form.shows, 0);
    EXPECT_EQ(form.closes, 0);
}

TEST(Form, ShowRunsTheShowHandlerBeforeTheWindowIsVisible) {
    ProbeForm form;
    bool visibleDuringShow = true;
    form.setOnShow(
        [&] { visibleDuringShow = form.isVisible() && form.windowHandle()->isVisible(); });
    form.Show();
    EXPECT_FALSE(visibleDuringShow);
    EXPECT_TRUE(form.isVisible());
}

TEST(Form, ShowModalReturnsTheModalResultOnceHidden) {
    ProbeForm form;
    QTimer::singleShot(0, &form, [&] { form.setModalResult(7); });
    EXPECT_EQ(form.ShowModal(), 7);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.windowModality(), Qt::NonModal);
}

TEST(Form, BorderlessFormHasAFixedClientSize) {
    TForm form;
    form.setBorderStyle(bsNone);
    form.setClientWidth(484);
    form.setClientHeight(214);
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(form.minimumSize(), QSize(484, 214));
    EXPECT_EQ(form.maximumSize(), QSize(484, 214));
}

TEST(Form, CaptionIsTheWindowTitle) {
    TForm form;
    form.setCaption(QStringLiteral("Kirimo AVI"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Kirimo AVI"));
}

// The frameless main window moves by drags on its bare surface, not on child windows.
class DragTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.setBorderStyle(bsNone);
        form.setBounds(100, 100, 200, 100);
        label = new TLabel(&form);
        label->setAutoSize(false);
        label->setBounds(10, 10, 50, 20);
        panel = new TPanel(&form);
        panel->setBounds(120, 10, 50, 50);
        form.setDragMovesWindow(true);
        form.show();
        QApplication::processEvents();
    }

    void drag(QPoint from, QPoint by) {
        QWindow* window = form.windowHandle();
        const QPoint global = form.mapToGlobal(from);
        mouse(window, QEvent::MouseButtonPress, from, global, Qt::LeftButton, Qt::LeftButton);
        mouse(window, QEvent::MouseMove, from + by, global + by, Qt::NoButton, Qt::LeftButton);
        mouse(window, QEvent::MouseButtonRelease, from + by, global + by, Qt::LeftButton,
              Qt::NoButton);
    }

    static void mouse(QWindow* window, QEvent::Type type, QPoint local, QPoint global,
                      Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(local), QPointF(local), QPointF(global), button, held,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(window, &event);
    }

    TForm form;
    TLabel* label = nullptr;
    TPanel* panel = nullptr;
};

TEST_F(DragTest, FromTheBareSurfaceTheWindowFollowsTheMouse) {
    drag(QPoint(80, 80), QPoint(15, -7));
    EXPECT_EQ(form.pos(), QPoint(115, 93));
}

TEST_F(DragTest, FromAMouseTransparentLabelTheWindowMoves) {
    EXPECT_TRUE(label->mouseTransparent());
    drag(QPoint(20, 15), QPoint(-10, 5));
    EXPECT_EQ(form.pos(), QPoint(90, 105));
}

TEST_F(DragTest, FromAWindowedChildNothingMoves) {
    drag(QPoint(130, 20), QPoint(30, 30));
    EXPECT_EQ(form.pos(), QPoint(100, 100));
}

TEST_F(DragTest, RightButtonDoesNotMove) {
    QWindow* window = form.windowHandle();
    const QPoint global = form.mapToGlobal(QPoint(80, 80));
    mouse(window, QEvent::MouseButtonPress, QPoint(80, 80), global, Qt::RightButton,
          Qt::RightButton);
    mouse(window, QEvent::MouseMove, QPoint(90, 90), global + QPoint(10, 10), Qt::NoButton,
          Qt::RightButton);
    mouse(window, QEvent::MouseButtonRelease, QPoint(90, 90), global + QPoint(10, 10),
          Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(form.pos(), QPoint(100, 100));
}

TEST(Form, AScreenCentredFormIsShownInTheMiddleOfTheScreen) {
    TForm form;
    form.setPosition(poScreenCenter);
    form.setBounds(0, 0, 300, 120);
    form.Show();
    QApplication::processEvents();
    const QRect area = form.screen()->availableGeometry();
    const QRect placed = form.frameGeometry();
    EXPECT_LE(std::abs(placed.center().x() - area.center().x()), 1) << placed.x();
    EXPECT_LE(std::abs(placed.center().y() - area.center().y()), 1) << placed.y();
}

} // namespace
