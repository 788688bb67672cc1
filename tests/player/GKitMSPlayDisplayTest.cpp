#include "PlayerTestSupport.h"
#include "player/GKitMSPlay.h"

#include <QColor>
#include <array>
#include <gtest/gtest.h>

namespace {

using playertest::movieFor;
using playertest::openPaused;
using playertest::recipeOf;
using testmedia::Codec;

// Mean of each channel over a rectangle: red, green, blue.
std::array<double, 3> meanColour(const QImage& image, const QRect& rect) {
    std::array<double, 3> sum{};
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            sum[0] += qRed(pixel);
            sum[1] += qGreen(pixel);
            sum[2] += qBlue(pixel);
        }
    const double count = static_cast<double>(rect.width()) * rect.height();
    return {sum[0] / count, sum[1] / count, sum[2] / count};
}

// Pixels outside `picture` that are not the background colour.
int strayPixels(const QImage& image, const QRect& picture, QRgb background) {
    int stray = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!picture.contains(x, y) &&
                (image.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF))
                ++stray;
    return stray;
}

struct DisplayCase {
    const char* name;
    TScaleMode mode;
    QSize area;
    QRect picture; // where the 128 x 48 frame must land
};

class Display : public testing::TestWithParam<DisplayCase> {};

TEST_P(Display, DrawsTheFrameInItsPlaceOnTheBackground) {
    const DisplayCase c = GetParam();
    TGKitMSPlay player;
    player.setScaleMode(c.mode);
    player.resize(c.area);
    openPaused(player, movieFor(recipeOf(Codec::RawBgr24, 4, 128, 48)));
    const QImage frame = player.picture();
    const QImage shown = player.renderToImage();

    EXPECT_EQ(strayPixels(shown, c.picture, qRgb(0, 0, 0)), 0);
    const auto expected = meanColour(frame, frame.rect());
    const auto got = meanColour(shown, c.picture & shown.rect());
    for (int channel = 0; channel < 3; ++channel)
        EXPECT_NEAR(got[channel], expected[channel], 6.0) << "channel " << channel;
    if (c.picture.size() == frame.size()) {
        EXPECT_EQ(shown.copy(c.picture), frame);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Player, Display,
    testing::Values(DisplayCase{"FitInTheSmallPlayer", smFit, {160, 120}, {0, 30, 160, 60}},
                    DisplayCase{"FitInATallWindow", smFit, {292, 322}, {0, 106, 292, 110}},
                    DisplayCase{"StretchFillsAll", smStretch, {160, 120}, {0, 0, 160, 120}},
                    DisplayCase{"ActualIsPixelForPixel", smActual, {160, 120}, {16, 36, 128, 48}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DisplayBackground, ColourFillsTheBarsAndTheEmptyPlayer) {
    TGKitMSPlay player;
    player.resize(100, 80);
    player.setColor(clNavy);
    const QRgb navy = qRgb(0, 0, 0x80);
    EXPECT_EQ(strayPixels(player.renderToImage(), {}, navy), 0);
    openPaused(player, movieFor(recipeOf(Codec::RawBgr24, 4, 128, 48)));
    EXPECT_EQ(strayPixels(player.renderToImage(), {0, 21, 100, 38}, navy), 0);
}

} // namespace
