#include "skin/ShineSpeedButton.h"

#include "SkinTestSupport.h"
#include "skin/ShineStateGlyph.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace {

void sendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), Qt::LeftButton, held,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

void press(QWidget* widget, QPoint at) {
    sendMouse(widget, QEvent::MouseButtonPress, at, Qt::LeftButton);
}

void release(QWidget* widget, QPoint at) {
    sendMouse(widget, QEvent::MouseButtonRelease, at, Qt::NoButton);
}

void enter(QWidget* widget) {
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(widget->mapToGlobal(QPoint(1, 1))));
    QCoreApplication::sendEvent(widget, &event);
}

void leave(QWidget* widget) {
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &event);
}

// Configured as the main window's Convert button.
TShineSpeedButton* convertButton(TPanel& host) {
    auto* button = new TShineSpeedButton(&host);
    button->setBounds(0, 0, 81, 18);
    button->setClickDownHook(true);
    button->Colors()->setColor(clAqua);
    button->Colors()->setGradation(true);
    button->Colors()->setGradVertical(true);
    button->Colors()->setHighlight(0x00E0E0E0);
    button->Colors()->setShadow(clGray);
    button->PressedColors()->setColor(clBlue);
    button->PressedColors()->setGradColor(clNavy);
    button->PressedColors()->setGradation(true);
    button->PressedColors()->setGradVertical(true);
    button->PressedColors()->setHighlight(clSilver);
    button->PressedColors()->setShadow(clGray);
    button->Font().setColor(clWhite);
    button->Font().setHeight(-11);
    button->ActiveFont().setColor(clWhite);
    button->ActiveFont().setStyle(fsBold);
    button->setCaption(QStringLiteral("変換"));
    return button;
}

TEST(ShineSpeedButton, ReleaseInsideClicksAndLeavesTheButtonHot) {
    auto host = makeHost(100, 30);
    auto* button = convertButton(*host);
    QStringList order;
    button->setOnMouseUp([&](TMouseButton, TShiftState, int, int) { order << "up"; });
    button->setOnClick([&] { order << "click"; });
    button->setOnMouseEnter([&] { order << "enter"; });
    press(button, {5, 5});
    EXPECT_EQ(button->State(), stActiveDown);
    release(button, {5, 5});
    EXPECT_EQ(order, QStringList({"up", "click", "enter"}));
    EXPECT_EQ(button->State(), stActiveUp);
}

TEST(ShineSpeedButton, ReleaseOutsideDoesNotClick) {
    auto host = makeHost(200, 30);
    auto* button = convertButton(*host);
    int clicks = 0;
    button->setOnClick([&] { ++clicks; });
    press(button, {5, 5});
    release(button, {150, 5});
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(button->State(), stUp);
}

TEST(ShineSpeedButton, DisabledButtonNeitherClicksNorTurnsHot) {
    auto host = makeHost(100, 30);
    auto* button = convertButton(*host);
    int clicks = 0;
    int enters = 0;
    button->setOnClick([&] { ++clicks; });
    button->setOnMouseEnter([&] { ++enters; });
    button->setEnabled(false);
    EXPECT_EQ(button->State(), stDisabled);
    press(button, {5, 5});
    release(button, {5, 5});
    enter(button);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(button->State(), stDisabled);

    button->setEnabled(true);
    EXPECT_EQ(button->State(), stUp);
    press(button, {5, 5});
    release(button, {5, 5});
    EXPECT_EQ(clicks, 1);
}

TEST(ShineSpeedButton, EnterAndLeaveSwitchTheHotState) {
    auto host = makeHost(100, 30);
    auto* button = new Counting<TShineSpeedButton>(host.get());
    int enters = 0;
    int leaves = 0;
    button->setOnMouseEnter([&] { ++enters; });
    button->setOnMouseLeave([&] { ++leaves; });
    enter(button);
    EXPECT_EQ(button->State(), stActiveUp);
    EXPECT_EQ(button->repaints, 1);
    enter(button); // already inside: the event fires, nothing else
    EXPECT_EQ(enters, 2);
    EXPECT_EQ(button->repaints, 1);
    leave(button);
    EXPECT_EQ(button->State(), stUp);
    EXPECT_EQ(leaves, 1);
    EXPECT_EQ(button->repaints, 2);
}

TEST(ShineSpeedButton, TimerEndsTheHotStateOnceTheCursorIsElsewhere) {
    auto host = makeHost(100, 30); // never shown: the cursor is not over the button
    auto* button = convertButton(*host);
    enter(button);
    ASSERT_EQ(button->State(), stActiveUp);
    button->ActiveButtonTimerOnTimer();
    EXPECT_EQ(button->State(), stUp);
}

TEST(ShineSpeedButton, ClickDownHookShowsThePressedLookWhileTheHandlerRuns) {
    auto host = makeHost(100, 30);
    auto* button = new Counting<TShineSpeedButton>(host.get());
    button->setClickDownHook(true);
    TShineButtonState during = stUp;
    button->setOnClick([&] { during = button->State(); });
    button->Click();
    EXPECT_EQ(during, stActiveDown);
    EXPECT_EQ(button->State(), stUp);
    EXPECT_EQ(button->repaints, 2); // pressed at once, then back at once
}

TEST(ShineSpeedButton, EnablingAgainReleasesADownButton) {
    auto host = makeHost(100, 30);
    auto* button = new TShineSpeedButton(host.get());
    button->setGroupIndex(1);
    button->setDown(true);
    button->setEnabled(false);
    EXPECT_FALSE(button->Down());
}

TEST(ShineSpeedButton, GroupedButtonsReleaseEachOther) {
    auto host = makeHost(100, 30);
    auto* first = new TShineSpeedButton(host.get());
    auto* second = new TShineSpeedButton(host.get());
    auto* other = new TShineSpeedButton(host.get());
    first->setGroupIndex(1);
    second->setGroupIndex(1);
    other->setGroupIndex(2);
    other->setDown(true);
    first->setDown(true);
    EXPECT_EQ(first->State(), stDown);
    second->setDown(true);
    EXPECT_FALSE(first->Down());
    EXPECT_EQ(first->State(), stUp);
    EXPECT_TRUE(second->Down());
    EXPECT_TRUE(other->Down()); // another group
    second->setDown(false);     // exclusive: only another button going down releases it
    EXPECT_TRUE(second->Down());
    second->setAllowAllUp(true);
    EXPECT_TRUE(first->AllowAllUp()); // the group shares it
    second->setDown(false);
    EXPECT_FALSE(second->Down());
}

TEST(ShineSpeedButton, ReleasedLookHasALightRaisedFrameOverTheGradientFace) {
    auto host = makeHost(81, 18, clBlack);
    convertButton(*host);
    const QImage image = host->renderToImage();
    EXPECT_EQ(pixelAt(image, 40, 0), TColor(0x00E0E0E0));
    EXPECT_EQ(pixelAt(image, 0, 9), TColor(0x00E0E0E0));
    EXPECT_EQ(pixelAt(image, 79, 9), clGray);
    EXPECT_EQ(pixelAt(image, 40, 16), clGray);
    EXPECT_EQ(pixelAt(image, 80, 9), painted(clWindowFrame));
    EXPECT_EQ(pixelAt(image, 40, 17), painted(clWindowFrame));
    // Aqua at the top to blue at the bottom, never blended: red 0, blue 255 throughout.
    int previousGreen = 256;
    for (int y = 1; y <= 15; ++y) {
        const TColor face = pixelAt(image, 3, y);
        EXPECT_EQ(platform::getRValue(std::uint32_t(face)), 0) << y;
        EXPECT_EQ(platform::getBValue(std::uint32_t(face)), 255) << y;
        EXPECT_LT(platform::getGValue(std::uint32_t(face)), previousGreen) << y;
        previousGreen = platform::getGValue(std::uint32_t(face));
    }
}

TEST(ShineSpeedButton, PressedLookIsBlueToNavyInASunkenFrame) {
    auto host = makeHost(81, 18, clBlack);
    auto* button = convertButton(*host);
    press(button, {5, 5});
    const QImage image = host->renderToImage();
    EXPECT_EQ(pixelAt(image, 40, 0), painted(clWindowFrame));
    EXPECT_EQ(pixelAt(image, 40, 1), clGray);
    EXPECT_EQ(pixelAt(image, 80, 9), clSilver);
    EXPECT_EQ(pixelAt(image, 40, 17), clSilver);
    EXPECT_EQ(platform::getGValue(std::uint32_t(pixelAt(image, 3, 3))), 0);
}

TEST(ShineSpeedButton, GradientRampRunsExactlyFromColourToGradColour) {
    auto host = makeHost(4, 256, clBlack);
    auto* button = new TShineSpeedButton(host.get());
    button->setBounds(0, 0, 4, 256);
    button->setUpFrame(false);
    button->Colors()->setColor(clAqua);
    button->Colors()->setGradColor(clBlue);
    button->Colors()->setGradation(true);
    button->Colors()->setGradVertical(true);
    const QImage image = host->renderToImage();
    EXPECT_EQ(pixelAt(image, 2, 0), clAqua);
    EXPECT_EQ(pixelAt(image, 2, 128), platform::rgb(0, 127, 255));
    EXPECT_EQ(pixelAt(image, 2, 255), clBlue);
}

TEST(ShineSpeedButton, CaptionCopiesSitOnePixelAwayEachWay) {
    auto host = makeHost(81, 18, clBlack);
    auto* button = convertButton(*host);
    const QRect inside(1, 1, 78, 15);
    const PixelSet text = pixelsOf(host->renderToImage(), clWhite, inside);
    ASSERT_FALSE(text.empty());

    button->setFontShadow(clBlack);
    button->setFontHighlight(0x00800040);
    const QImage image = host->renderToImage();
    EXPECT_EQ(pixelsOf(image, clWhite, inside), text);
    const PixelSet highlight = shiftedOutside(text, -1, -1);
    EXPECT_EQ(pixelsOf(image, 0x00800040, inside), highlight);
    PixelSet shadow;
    for (const auto& p : shiftedOutside(text, 1, 1))
        if (!highlight.count(p))
            shadow.insert(p);
    EXPECT_EQ(pixelsOf(image, clBlack, inside), shadow);
}

TEST(ShineSpeedButton, EmptyButtonPaintsOnlyFaceAndFrame) {
    auto host = makeHost(20, 20, clBlack);
    auto* button = new TShineSpeedButton(host.get());
    button->setBounds(0, 0, 20, 20);
    button->Colors()->setColor(clRed);
    const QImage image = host->renderToImage();
    for (int y = 2; y < 18; ++y)
        for (int x = 2; x < 18; ++x)
            ASSERT_EQ(pixelAt(image, x, y), clRed) << x << "," << y;
}

struct PlacementCase {
    const char* name;
    TButtonLayout layout;
    int margin;
    QSize glyph;
    QSize caption;
    QPoint glyphAt;
    QPoint captionAt;
};

std::ostream& operator<<(std::ostream& out, const PlacementCase& c) {
    return out << c.name;
}

class ShineSpeedButtonPlacement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(ShineSpeedButtonPlacement, GlyphAndCaptionGoWhereTheLayoutSays) {
    const PlacementCase& c = GetParam();
    const TShineSpeedButton::Placement place = TShineSpeedButton::placeGlyphAndCaption(
        QSize(100, 40), c.glyph, c.caption, c.layout, c.margin, 4);
    if (!c.glyph.isEmpty()) {
        EXPECT_EQ(place.glyph, c.glyphAt);
    }
    if (!c.caption.isEmpty()) {
        EXPECT_EQ(place.caption.topLeft(), c.captionAt);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ShineSpeedButtonPlacement,
    ::testing::Values(
        // Block 16 + 4 + 30 = 50 x 16, centred: (25, 12).
        PlacementCase{"CentredLeft", blGlyphLeft, -1, {16, 16}, {30, 10}, {25, 12}, {45, 15}},
        PlacementCase{
            "MarginZeroTouchesTheLeftEdge", blGlyphLeft, 0, {16, 16}, {30, 10}, {0, 12}, {20, 15}},
        PlacementCase{"Right", blGlyphRight, 2, {16, 16}, {30, 10}, {82, 12}, {48, 15}},
        // Block 30 x (16 + 4 + 10): the caption Spacing below the glyph.
        PlacementCase{"Top", blGlyphTop, -1, {16, 16}, {30, 10}, {42, 5}, {35, 25}},
        PlacementCase{
            "TopWithoutGlyphHasNoSpacing", blGlyphTop, 0, {0, 0}, {30, 10}, {0, 0}, {35, 0}},
        PlacementCase{"Bottom", blGlyphBottom, 3, {16, 16}, {30, 10}, {42, 21}, {35, 7}}));

TEST(ShineStateGlyph, MaskLightLightsEverySecondPixelAsACheckerboard) {
    QImage glyph(4, 3, QImage::Format_RGB32);
    glyph.fill(QColor(Qt::red));
    glyph.setPixel(0, 2, qRgb(0, 0, 0)); // the background colour
    ShineGlyphEffects effects;
    effects.active = aiMaskLight;
    const auto state = makeShineStateGlyph(glyph, stActiveUp, effects);
    ASSERT_TRUE(state.has_value());
    const std::set<std::pair<int, int>> lit{{1, 0}, {3, 0}, {0, 1}, {2, 1}, {1, 2}, {3, 2}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(pixelAt(state->picture, x, y),
                      lit.count({x, y}) ? clYellow : (x == 0 && y == 2 ? clBlack : clRed))
                << x << "," << y;
    EXPECT_FALSE(makeShineStateGlyph(QImage(), stActiveUp, effects).has_value());
}

TEST(ShineStateGlyph, FrameLightOutlinesTheGlyphInTheShineColour) {
    QImage glyph(3, 3, QImage::Format_RGB32);
    glyph.fill(QColor(Qt::black));
    glyph.setPixel(1, 1, qRgb(255, 0, 0));
    const auto state = makeShineStateGlyph(glyph, stActiveUp, ShineGlyphEffects{});
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(pixelAt(state->picture, 1, 0), clYellow);
    EXPECT_EQ(pixelAt(state->picture, 0, 1), clYellow);
    EXPECT_EQ(pixelAt(state->picture, 1, 1), clRed);
    EXPECT_EQ(pixelAt(state->picture, 0, 0), clBlack); // diagonal neighbours stay
}

} // namespace
