#include "FrameworkTestSupport.h"
#include "platform/ServiceRecorder.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// Records the notifications and mouse calls it receives.
class ProbeControl : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;

    int enabledChanges = 0;
    QStringList calls;

protected:
    void EnabledChanged() override {
        ++enabledChanges;
        TGraphicControl::EnabledChanged();
    }
    void MouseEnter() override {
        calls << QStringLiteral("enter");
        TGraphicControl::MouseEnter();
    }
    void MouseLeave() override {
        calls << QStringLiteral("leave");
        TGraphicControl::MouseLeave();
    }
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override {
        calls << QStringLiteral("down %1 %2 %3,%4").arg(button).arg(shift).arg(x).arg(y);
    }
    void MouseUp(TMouseButton button, TShiftState, int x, int y) override {
        calls << QStringLiteral("up %1 %2,%3").arg(button).arg(x).arg(y);
    }
    void Click() override {
        calls << QStringLiteral("click");
        TGraphicControl::Click();
    }
    void DblClick() override {
        calls << QStringLiteral("dblclick");
        TGraphicControl::DblClick();
    }
};

void send(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button,
          Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, held,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

void click(QWidget* target, QPoint press, QPoint release) {
    send(target, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
    send(target, QEvent::MouseButtonRelease, release, Qt::LeftButton, Qt::NoButton);
}

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        host = makeHost(100, 50);
        probe = new ProbeControl(host.get());
        probe->setBounds(10, 10, 40, 20);
    }
    std::unique_ptr<TPanel> host;
    ProbeControl* probe = nullptr;
};

TEST_F(ControlTest, EnabledChangedOnlyOnARealChangeOfItsOwnSetting) {
    probe->setEnabled(true);
    EXPECT_EQ(probe->enabledChanges, 0);
    probe->setEnabled(false);
    probe->setEnabled(false);
    EXPECT_EQ(probe->enabledChanges, 1);
    probe->setEnabled(true);
    EXPECT_EQ(probe->enabledChanges, 2);

    host->setEnabled(false); // blocks input, but the child's own setting stays
    EXPECT_TRUE(probe->Enabled());
    EXPECT_FALSE(probe->isEnabled());
    EXPECT_EQ(probe->enabledChanges, 2);
}

TEST_F(ControlTest, MouseEnterAndLeaveReachAlsoADisabledControl) {
    int entered = 0;
    probe->setOnMouseEnter([&] { ++entered; });
    probe->setEnabled(false);
    QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), QPointF(15, 15));
    QCoreApplication::sendEvent(probe, &enter);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(probe, &leave);
    EXPECT_EQ(probe->calls, (QStringList{QStringLiteral("enter"), QStringLiteral("leave")}));
    EXPECT_EQ(entered, 1);
}

TEST_F(ControlTest, LeftPressReleasedInsideClicksBeforeMouseUp) {
    int clicks = 0;
    probe->setOnClick([&] { ++clicks; });
    click(probe, QPoint(3, 4), QPoint(5, 6));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(probe->calls, (QStringList{QStringLiteral("down 0 8 3,4"), QStringLiteral("click"),
                                         QStringLiteral("up 0 5,6")}));
}

TEST_F(ControlTest, NoClickWhenReleasedOutsideOrWithAnotherButton) {
    int clicks = 0;
    probe->setOnClick([&] { ++clicks; });
    click(probe, QPoint(3, 4), QPoint(45, 6)); // dragged off the control
    send(probe, QEvent::MouseButtonPress, QPoint(3, 3), Qt::RightButton, Qt::RightButton);
    send(probe, QEvent::MouseButtonRelease, QPoint(3, 3), Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(clicks, 0);
}

TEST_F(ControlTest, DoubleClickFiresDblClickAndNoSecondClick) {
    int clicks = 0, doubles = 0;
    probe->setOnClick([&] { ++clicks; });
    probe->setOnDblClick([&] { ++doubles; });
    click(probe, QPoint(3, 3), QPoint(3, 3));
    send(probe, QEvent::MouseButtonDblClick, QPoint(3, 3), Qt::LeftButton, Qt::LeftButton);
    send(probe, QEvent::MouseButtonRelease, QPoint(3, 3), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(doubles, 1);
    EXPECT_TRUE(probe->calls.contains(QStringLiteral("down 0 72 3,3"))); // ssLeft | ssDouble
}

TEST_F(ControlTest, HandlerExceptionIsReportedAndTheControlGoesOn) {
    platform::ServiceRecorder recorder;
    int clicks = 0;
    probe->setOnClick([&] {
        if (++clicks == 1)
            throw std::runtime_error("ゼロによる除算");
    });
    click(probe, QPoint(1, 1), QPoint(1, 1));
    click(probe, QPoint(1, 1), QPoint(1, 1));
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(recorder.messageTexts(), QStringList{QStringLiteral("ゼロによる除算.")});
    EXPECT_EQ(probe->calls.count(QStringLiteral("up 0 1,1")), 2); // the press was completed
}

TEST_F(ControlTest, FontAndColourFollowTheParentUntilSetOwnValues) {
    host->Font().setHeight(-20);
    host->setColor(clNavy);
    EXPECT_EQ(probe->Font().height(), -20);
    EXPECT_EQ(probe->Color(), clNavy);

    probe->Font().setColor(clWhite);
    probe->setColor(clRed);
    EXPECT_FALSE(probe->ParentFont());
    EXPECT_FALSE(probe->ParentColor());
    host->Font().setHeight(-30);
    host->setColor(clGreen);
    EXPECT_EQ(probe->Font().height(), -20);
    EXPECT_EQ(probe->Color(), clRed);

    probe->setParentFont(true);
    EXPECT_EQ(probe->Font().height(), -30);
}

TEST_F(ControlTest, HintsShowWhereTheOwnOrInheritedSettingSaysSo) {
    probe->setHint(QStringLiteral(" 閉じる|long text"));
    EXPECT_EQ(probe->hintText(), QStringLiteral(" 閉じる"));
    EXPECT_TRUE(probe->toolTip().isEmpty()); // parent shows no hints

    host->setShowHint(true);
    EXPECT_EQ(probe->toolTip(), QStringLiteral(" 閉じる"));

    probe->setShowHint(false); // its own setting now
    EXPECT_FALSE(probe->ParentShowHint());
    EXPECT_TRUE(probe->toolTip().isEmpty());
}

TEST_F(ControlTest, ClientAlignedChildFollowsItsParentsSize) {
    auto* filler = new FillControl(host.get());
    filler->setAlign(alClient);
    auto* top = new FillControl(host.get());
    top->setHeight(8);
    top->setAlign(alTop);
    EXPECT_EQ(top->BoundsRect(), QRect(0, 0, 100, 8));
    EXPECT_EQ(filler->BoundsRect(), QRect(0, 8, 100, 42));
    host->setBounds(0, 0, 60, 30);
    EXPECT_EQ(filler->BoundsRect(), QRect(0, 8, 60, 22));
}

} // namespace
