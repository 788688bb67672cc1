#include "picture/PictureResampler.h"

#include "core/BgrImage.h"

#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace {

constexpr std::uint8_t left[3] = {20, 200, 90};
constexpr std::uint8_t right[3] = {230, 40, 160};

// Two flat halves, a colour of its own in each channel, split at column `edge`.
core::BgrImage halves(int width, int height, int edge) {
    core::BgrImage picture = core::BgrImage::blank(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                picture.row(y)[3 * x + c] = x < edge ? left[c] : right[c];
    return picture;
}

// Stretched as 32:27 pixels are: the halves keep their colours (no channel swapped or carried
// through a matrix), the edge moves with the stretch, and it is filtered, not repeated pixels.
TEST(PictureResampler, StretchesWithAFilterKeepingEveryChannel) {
    const core::BgrImage picture = halves(54, 20, 27);
    picture::PictureResampler resampler;
    core::BgrImage stretched;
    resampler.resample(picture, 64, 20, stretched);

    ASSERT_EQ(stretched.width, 64);
    ASSERT_EQ(stretched.height, 20);
    for (const int y : {0, 9, 19}) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(stretched.row(y)[c], left[c], 1) << "channel " << c;
            EXPECT_NEAR(stretched.row(y)[3 * 63 + c], right[c], 1) << "channel " << c;
        }
        std::set<int> greens;
        int firstRight = -1;
        for (int x = 0; x < 64; ++x) {
            const int green = stretched.row(y)[3 * x + 1];
            greens.insert(green);
            if (firstRight < 0 && green < (left[1] + right[1]) / 2)
                firstRight = x;
        }
        EXPECT_EQ(firstRight, 32);
        EXPECT_GT(greens.size(), 3u) << "only the source's colours: pixels repeated";
    }
}

// A picture of another size takes a scaler of its own.
TEST(PictureResampler, FollowsAChangeOfSize) {
    picture::PictureResampler resampler;
    core::BgrImage out;
    resampler.resample(halves(54, 20, 27), 64, 20, out);
    resampler.resample(halves(20, 30, 10), 20, 40, out);
    ASSERT_EQ(out.width, 20);
    ASSERT_EQ(out.height, 40);
    EXPECT_NEAR(out.row(39)[3 * 19], right[0], 1);
}

// The alpha plane is stretched with the colours: alpha made equal to the green channel stays
// equal to it, and a picture without alpha leaves none behind from the one before.
TEST(PictureResampler, StretchesTheAlphaPlaneWithTheColours) {
    core::BgrImage picture = halves(54, 20, 27);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            picture.alpha.push_back(picture.row(y)[3 * x + 1]);
    picture::PictureResampler resampler;
    core::BgrImage stretched;
    resampler.resample(picture, 64, 20, stretched);

    ASSERT_EQ(stretched.alpha.size(), 64u * 20u);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(stretched.alpha[static_cast<std::size_t>(y * 64 + x)],
                      stretched.row(y)[3 * x + 1])
                << x << "," << y;
    resampler.resample(halves(54, 20, 27), 64, 20, stretched);
    EXPECT_TRUE(stretched.alpha.empty());
}

double srgbToLight(double code) {
    const double v = code / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

// Halved, every pair of codes a, b gives the code whose light lies nearest their mean light on
// the code scale (a fine black and white pattern: 188), down as across. A 2 x 2 block holds a
// twice, b twice, a and b crosswise.
TEST(PictureResampler, ShrinksToTheCodeNearestTheMeanLight) {
    core::BgrImage picture = core::BgrImage::blank(512, 512);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x)
            std::fill_n(picture.row(y) + 3 * x, 3, (x + y) % 2 == 0 ? y / 2 : x / 2);
    picture::PictureResampler resampler;
    core::BgrImage half;
    resampler.resample(picture, 256, 256, half);
    ASSERT_EQ(half.width, 256);
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b) {
            const double mean = (srgbToLight(a) + srgbToLight(b)) / 2;
            const std::uint8_t* const pixel = half.row(a) + 3 * b;
            const int code = pixel[a % 3];
            // Means a hair from the halfway light may fall either side in single precision.
            const bool above = code == 0 || srgbToLight(code - 0.5) <= mean * (1 + 1e-6);
            const bool below = code == 255 || mean * (1 - 1e-6) < srgbToLight(code + 0.5);
            ASSERT_TRUE(above && below) << a << " and " << b << " gave " << code;
            ASSERT_TRUE(pixel[0] == pixel[1] && pixel[1] == pixel[2]) << a << " and " << b;
        }
    EXPECT_EQ(half.row(0)[3 * 255], 188);
}

} // namespace
