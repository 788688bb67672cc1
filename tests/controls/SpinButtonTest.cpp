// The spin button: its halves, pressing, auto-repeat, its faces and the arrows.
#include "SpinTestSupport.h"
#include "controls/DrawTriangle.h"
#include "core/Error.h"
#include "platform/Canvas.h"

#include <QApplication>
#include <QTest>
#include <vector>

namespace {

using Face = TSpinButton::Face;
using spintest::sendMouse;
using spintest::SpinEditTest;

// ---- Halves ----

struct Hit {
    int x;
    int y;
    int width;
    int height;
    bool bottom;
};

class SpinButtonHalves : public ::testing::TestWithParam<Hit> {};

TEST_P(SpinButtonHalves, DiagonalFromBottomLeftToTopRightSplitsTheHalves) {
    const Hit& hit = GetParam();
    EXPECT_EQ(TSpinButton::inBottomHalf(hit.x, hit.y, hit.width, hit.height), hit.bottom);
}

INSTANTIATE_TEST_SUITE_P(
    Points, SpinButtonHalves,
    ::testing::Values(Hit{0, 0, 15, 15, false}, Hit{14, 14, 15, 15, true}, Hit{3, 3, 15, 15, false},
                      Hit{11, 11, 15, 15, true},
                      // On the diagonal: top; one below it: bottom.
                      Hit{7, 8, 15, 15, false}, Hit{7, 9, 15, 15, true}, Hit{14, 1, 15, 15, false},
                      Hit{14, 2, 15, 15, true}, Hit{1, 14, 15, 15, false}, Hit{2, 14, 15, 15, true},
                      // Not square (only while a resize is under way): the slope is W / H.
                      Hit{10, 23, 20, 30, false}, Hit{10, 24, 20, 30, true}));

// ---- Pressing and auto-repeat, through the main window's spin edit ----

class SpinButtonPress : public SpinEditTest {
protected:
    SpinButtonPress() {
        edit->setMinValue(-100);
        edit->setValue(0);
        changes.clear();
    }

    TSpinButton* button() const { return edit->Button(); }
    void press(QPoint at, Qt::MouseButton which = Qt::LeftButton) {
        sendMouse(button(), QEvent::MouseButtonPress, at, which, which);
    }
    void move(QPoint to) {
        sendMouse(button(), QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    }
    void release(QPoint at) {
        sendMouse(button(), QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    }
    void tick() { button()->RepeatTimerTick(); }

    static constexpr QPoint kTop{3, 3};
    static constexpr QPoint kBottom{11, 11};
    static constexpr QPoint kOutside{30, 5};
};

TEST_F(SpinButtonPress, PressStepsAtOnceAndArmsTheFirstRepeatLater) {
    press(kTop);

    EXPECT_EQ(edit->Value(), 1);
    EXPECT_EQ(button()->FaceState(), Face::TopPressed);
    EXPECT_EQ(button()->PressedHalf(), Face::TopPressed);
    EXPECT_TRUE(button()->Tracking());
    EXPECT_TRUE(button()->HasRepeatTimer());
    EXPECT_EQ(button()->RepeatPeriod(), 300);
}

TEST_F(SpinButtonPress, HoldingRepeatsEveryInterval) {
    press(kBottom);
    tick();
    EXPECT_EQ(button()->RepeatPeriod(), 100);
    tick();

    EXPECT_EQ(edit->Value(), -3);
    EXPECT_EQ(changes, QStringList({"-1", "-2", "-3"}));
}

TEST_F(SpinButtonPress, SlidingOffThePressedHalfPausesTheRepeat) {
    press(kTop);
    move(kBottom);
    EXPECT_EQ(button()->FaceState(), Face::Normal);
    tick(); // no step down, no step up
    EXPECT_EQ(edit->Value(), 1);

    move(kTop);
    EXPECT_EQ(button()->FaceState(), Face::TopPressed);
    tick();
    EXPECT_EQ(edit->Value(), 2);

    move(kOutside);
    EXPECT_EQ(button()->FaceState(), Face::Normal);
    tick();
    EXPECT_EQ(edit->Value(), 2);
}

TEST_F(SpinButtonPress, ReleaseInsideEndsThePressAndTheTimer) {
    press(kTop);
    release(kTop);

    EXPECT_EQ(button()->FaceState(), Face::Normal);
    EXPECT_EQ(button()->PressedHalf(), Face::Normal);
    EXPECT_FALSE(button()->Tracking());
    EXPECT_FALSE(button()->HasRepeatTimer());
    tick();
    EXPECT_EQ(edit->Value(), 1);
}

TEST_F(SpinButtonPress, ReleaseOutsideKeepsTheIdleTimerForTheNextPress) {
    press(kTop);
    move(kOutside);
    release(kOutside);
    EXPECT_FALSE(button()->Tracking());
    EXPECT_TRUE(button()->HasRepeatTimer());
    tick();
    EXPECT_EQ(edit->Value(), 1);

    press(kBottom);
    EXPECT_EQ(edit->Value(), 0);
    EXPECT_EQ(button()->RepeatPeriod(), 300);
}

// A message box opened from a change handler (or a switch to another window) takes the mouse:
// the release goes elsewhere, so the held button must stop stepping there and then.
TEST_F(SpinButtonPress, AWindowTakingTheMouseEndsThePress) {
    for (const QEvent::Type taken : {QEvent::WindowBlocked, QEvent::WindowDeactivate}) {
        press(kTop);
        QEvent event(taken);
        QCoreApplication::sendEvent(button()->window(), &event);
        EXPECT_EQ(button()->FaceState(), Face::Normal) << taken;
        EXPECT_FALSE(button()->Tracking()) << taken;
        tick();
        tick();
        EXPECT_EQ(edit->Value(), 1) << taken;

        press(kBottom); // the next press works as ever
        EXPECT_EQ(edit->Value(), 0) << taken;
        release(kBottom);
    }
}

TEST_F(SpinButtonPress, OnlyTheLeftButtonPresses) {
    press(kTop, Qt::RightButton);
    press(kTop, Qt::MiddleButton);

    EXPECT_EQ(edit->Value(), 0);
    EXPECT_EQ(button()->FaceState(), Face::Normal);
}

TEST_F(SpinButtonPress, ReadOnlyEditBeepsInsteadOfStepping) {
    edit->setReadOnly(true);
    press(kTop);
    tick();

    EXPECT_EQ(edit->Value(), 0);
    EXPECT_EQ(services.beeps, 2);
}

TEST_F(SpinButtonPress, DisablingTheEditDisablesTheButton) {
    press(kTop);
    edit->setEnabled(false);
    EXPECT_EQ(button()->FaceState(), Face::Disabled);
    tick();
    press(kTop);
    EXPECT_EQ(edit->Value(), 1);

    edit->setEnabled(true);
    EXPECT_EQ(button()->FaceState(), Face::Normal);
    press(kTop);
    EXPECT_EQ(edit->Value(), 2);
}

// A step handler that fails: the error is reported and the button is ready for the next press.
TEST_F(SpinButtonPress, FailingFirstStepLeavesTheButtonUsable) {
    int steps = 0;
    button()->setOnTopClick([&] {
        ++steps;
        throw core::Error("ゼロによる除算");
    });

    press(kTop);
    EXPECT_EQ(services.messageTexts(), QStringList{"ゼロによる除算."});
    EXPECT_EQ(button()->FaceState(), Face::Normal);
    EXPECT_FALSE(button()->Tracking());
    release(kTop);
    press(kTop);

    EXPECT_EQ(steps, 2);
}

TEST_F(SpinButtonPress, FailingRepeatReleasesTheTimerAndPropagates) {
    int steps = 0;
    button()->setOnTopClick([&] {
        if (++steps == 2)
            throw core::Error("no frame");
    });
    press(kTop);

    EXPECT_THROW(tick(), core::Error);

    EXPECT_FALSE(button()->HasRepeatTimer());
    EXPECT_EQ(button()->FaceState(), Face::Normal);
    press(kTop);
    EXPECT_EQ(steps, 3);
}

TEST_F(SpinButtonPress, IntervalOffTheTimerTickIsRefusedAfterTheFirstStep) {
    edit->setInterval(120);

    press(kTop);

    EXPECT_EQ(edit->Value(), 1);
    EXPECT_EQ(services.messageTexts(),
              QStringList{"Interval not compatible with MinInterval property!"});
    EXPECT_FALSE(button()->HasRepeatTimer());
    EXPECT_EQ(button()->FaceState(), Face::Normal);
}

// The platform has no timer to give.
class TimerlessButton : public TSpinButton {
public:
    using TSpinButton::TSpinButton;

protected:
    bool startRepeatTimer(int) override { return false; }
};

TEST(SpinButtonTimer, NoTimerIsReportedAfterTheFirstStep) {
    platform::ServiceRecorder services;
    TPanel host;
    TimerlessButton button(&host);
    button.setBounds(0, 0, 15, 15);
    int steps = 0;
    button.setOnTopClick([&] { ++steps; });

    sendMouse(&button, QEvent::MouseButtonPress, QPoint(2, 2), Qt::LeftButton, Qt::LeftButton);
    sendMouse(&button, QEvent::MouseButtonRelease, QPoint(2, 2), Qt::LeftButton, Qt::NoButton);
    sendMouse(&button, QEvent::MouseButtonPress, QPoint(2, 2), Qt::LeftButton, Qt::LeftButton);

    EXPECT_EQ(steps, 2);
    EXPECT_EQ(services.messageTexts(),
              QStringList({"タイマーを取得できません.", "タイマーを取得できません."}));
    EXPECT_FALSE(button.HasRepeatTimer());
}

// A real click, delivered as the window system delivers it.
TEST_F(SpinButtonPress, ClickingTheButtonLeavesTheKeyboardFocusWhereItWas) {
    auto* other = new QLineEdit(host_.get()); // owned by the host
    other->setGeometry(100, 10, 50, 19);
    host_->show();
    QApplication::setActiveWindow(host_.get());
    other->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(other->hasFocus());

    QTest::mouseClick(button(), Qt::LeftButton, Qt::NoModifier, kTop);

    EXPECT_TRUE(other->hasFocus());
    EXPECT_EQ(edit->Value(), 1);
}

// ---- Faces ----

// Every system colour the faces use, made distinct so that each pixel tells which it is.
class SpinButtonFaces : public ::testing::Test {
protected:
    SpinButtonFaces() {
        platform::setSysColor(platform::COLOR_WINDOWFRAME, 0x202020);
        platform::setSysColor(platform::COLOR_HIGHLIGHTTEXT, 0x00FFFF);
        platform::setSysColor(platform::COLOR_GRAYTEXT, 0xFF00FF);
        host.setBevelOuter(bvNone);
        host.setBounds(0, 0, 15, 15);
        button = new TSpinButton(&host); // owned by the host
        button->setBounds(0, 0, 15, 15);
    }
    ~SpinButtonFaces() override { platform::resetSysColors(); }

    static char legend(TColor pixel) {
        const std::pair<TColor, char> colours[] = {
            {clWindowFrame, '#'}, {clBtnFace, '.'},  {clBtnHighlight, 'h'}, {clBtnShadow, 's'},
            {clBlack, 'o'},       {clGrayText, 'g'}, {clHighlightText, 'H'}};
        for (const auto& [colour, symbol] : colours)
            if (pixel == spintest::painted(colour))
                return symbol;
        return '?';
    }

    static std::vector<std::string> art(const QImage& image, int left, int width) {
        std::vector<std::string> rows;
        for (int y = 0; y < image.height(); ++y) {
            std::string row;
            for (int x = left; x < left + width; ++x)
                row += legend(platform::fromQRgb(image.pixel(x, y)));
            rows.push_back(row);
        }
        return rows;
    }

    TPanel host;
    TSpinButton* button = nullptr;
};

const std::vector<std::string> kNormal = {
    "###############", "#hhhhhhhhhhhs##", "#h.........s#h#", "#h..o.....s#hs#", "#h.ooo...s#h.s#",
    "#hooooo.s#h..s#", "#h.....s#h...s#", "#h....s#h....s#", "#h...s#hooooos#", "#h..s#h..ooo.s#",
    "#h.s#h....o..s#", "#hs#h........s#", "#s#h.........s#", "##hsssssssssss#", "###############"};
const std::vector<std::string> kTopPressed = {
    "###############", "#sssssssssss.##", "#s..........#h#", "#s.........#hs#", "#s...o....#h.s#",
    "#s..ooo..#h..s#", "#s.ooooo#h...s#", "#s.....#h....s#", "#s....#hooooos#", "#s...#h..ooo.s#",
    "#s..#h....o..s#", "#s.#h........s#", "#.#h.........s#", "##hsssssssssss#", "###############"};
const std::vector<std::string> kBottomPressed = {
    "###############", "#hhhhhhhhhhhs##", "#h.........s#s#", "#h..o.....s#ss#", "#h.ooo...s#ssh#",
    "#hooooo.s#ss.h#", "#h.....s#ss..h#", "#h....s#ss...h#", "#h...s#ss....h#", "#h..s#ss.ooooo#",
    "#h.s#ss...oooh#", "#hs#ss.....o.h#", "#s#ss........h#", "##sshhhhhhhhhh#", "###############"};
const std::vector<std::string> kDisabled = {
    "###############", "#hhhhhhhhhhhs##", "#h.........s#h#", "#h..g.....s#hs#", "#h.ggg...s#h.s#",
    "#hggggg.s#h..s#", "#h.HHHHH#h...s#", "#h....s#h....s#", "#h...s#hgggggs#", "#h..s#h..gggHH#",
    "#h.s#h....gHHs#", "#hs#h......H.s#", "#s#h.........s#", "##hsssssssssss#", "###############"};

TEST_F(SpinButtonFaces, StripHoldsTheFourFacesPixelForPixel) {
    const QImage& strip = button->FaceStrip();
    ASSERT_EQ(strip.size(), QSize(60, 15));

    EXPECT_EQ(art(strip, 0, 15), kNormal);
    EXPECT_EQ(art(strip, 15, 15), kTopPressed);
    EXPECT_EQ(art(strip, 30, 15), kBottomPressed);
    EXPECT_EQ(art(strip, 45, 15), kDisabled);
}

TEST_F(SpinButtonFaces, PaintShowsTheFaceOfTheCurrentState) {
    EXPECT_EQ(art(host.renderToImage(), 0, 15), kNormal);
    sendMouse(button, QEvent::MouseButtonPress, QPoint(3, 3), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(art(host.renderToImage(), 0, 15), kTopPressed);
    sendMouse(button, QEvent::MouseMove, QPoint(11, 11), Qt::NoButton, Qt::LeftButton);
    sendMouse(button, QEvent::MouseButtonRelease, QPoint(11, 11), Qt::LeftButton, Qt::NoButton);
    sendMouse(button, QEvent::MouseButtonPress, QPoint(11, 11), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(art(host.renderToImage(), 0, 15), kBottomPressed);
    button->setEnabled(false);
    EXPECT_EQ(art(host.renderToImage(), 0, 15), kDisabled);
    EXPECT_FALSE(button->Tracking()); // a disabled paint ends the press
}

TEST_F(SpinButtonFaces, ResizeRendersTheStripAgain) {
    button->FaceStrip();
    button->setBounds(0, 0, 20, 20);

    const QImage& strip = button->FaceStrip();

    EXPECT_EQ(strip.size(), QSize(80, 20));
    // The up arrow's tip of a 20-pixel face: R(20 / 4 - 2) + 1 = 4 left, + size / 2.
    EXPECT_EQ(legend(platform::fromQRgb(strip.pixel(5, 4))), 'o');
}

// ---- Arrows ----

struct Arrow {
    const char* name;
    int size;
    bool down;
    std::vector<std::string> rows; // from (x - 2, y) on
};

class SpinArrow : public ::testing::TestWithParam<Arrow> {};

TEST_P(SpinArrow, DrawsItsRows) {
    const Arrow& arrow = GetParam();
    QImage image(24, 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        platform::Canvas canvas(image);
        DrawTriangle(canvas, 2, 0, arrow.size, clBlack, arrow.down, true);
    }
    std::vector<std::string> rows;
    for (int y = 0; y < image.height(); ++y) {
        std::string row;
        for (int x = 0; x < image.width(); ++x)
            row += image.pixel(x, y) == qRgb(0, 0, 0) ? 'o' : '.';
        const auto end = row.find_last_of('o');
        if (end != std::string::npos)
            rows.push_back(row.substr(0, end + 1));
    }
    EXPECT_EQ(rows, arrow.rows);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, SpinArrow,
    ::testing::Values(Arrow{"Up3", 3, false, {"...o", "..ooo", ".ooooo"}},
                      Arrow{"Down3", 3, true, {"..ooooo", "...ooo", "....o"}},
                      Arrow{"Up2", 2, false, {"...o", "..ooo"}},
                      Arrow{"Down2", 2, true, {"..ooo", "...o"}},
                      Arrow{"Up4", 4, false, {"....o", "...ooo", "..ooooo", ".ooooooo"}},
                      Arrow{"Down4", 4, true, {"..ooooooo", "...ooooo", "....ooo", ".....o"}},
                      Arrow{"TooSmall", 1, false, {}}, Arrow{"TooLarge", 16, true, {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
