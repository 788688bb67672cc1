#include "picture/PictureResampler.h"

#include "core/BgrImage.h"

#include <algorithm>
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

// The code whose light lies nearest `light` on the code scale: above the light halfway to the
// code below, below the one halfway to the code above.
int nearestCode(double light) {
    int code = 0;
    while (code < 255 && srgbToLight(code + 0.5) <= light)
        ++code;
    return code;
}

// Halved, every pair of codes a, b gives the code whose light lies nearest their mean light (a
// fine black and white pattern: 188): blue holds a over b in each 2 x 2 block, green a beside b,
// red a and b crosswise.
TEST(PictureResampler, ShrinksToTheCodeNearestTheMeanLight) {
    core::BgrImage picture = core::BgrImage::blank(512, 512);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x) {
            std::uint8_t* const pixel = picture.row(y) + 3 * x;
            pixel[0] = static_cast<std::uint8_t>(y % 2 == 0 ? y / 2 : x / 2);
            pixel[1] = static_cast<std::uint8_t>(x % 2 == 0 ? y / 2 : x / 2);
            pixel[2] = static_cast<std::uint8_t>((x + y) % 2 == 0 ? y / 2 : x / 2);
        }
    picture::PictureResampler resampler;
    core::BgrImage half;
    resampler.resample(picture, 256, 256, half);
    ASSERT_EQ(half.width, 256);
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b) {
            const double mean = (srgbToLight(a) + srgbToLight(b)) / 2;
            for (int c = 0; c < 3; ++c) {
                const int code = half.row(a)[3 * b + c];
                // Means a hair from the halfway light may fall either side in single precision.
                const bool above = code == 0 || srgbToLight(code - 0.5) <= mean * (1 + 1e-6);
                const bool below = code == 255 || mean * (1 - 1e-6) < srgbToLight(code + 0.5);
                ASSERT_TRUE(above && below)
                    << a << " and " << b << " gave " << code << " in channel " << c;
            }
        }
    EXPECT_EQ(half.row(0)[3 * 255], 188);
}

// Each new pixel averages every old row and column it covers, with its share of those it covers
// in part: three rows to one, five to two.
TEST(PictureResampler, AveragesEveryRowItCovers) {
    constexpr int codes[5] = {10, 200, 90, 250, 0};
    core::BgrImage picture = core::BgrImage::blank(5, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            std::uint8_t* const pixel = picture.row(y) + 3 * x;
            pixel[0] = pixel[1] = static_cast<std::uint8_t>(codes[y]);
            pixel[2] = static_cast<std::uint8_t>(codes[x]);
        }
    picture::PictureResampler resampler;
    core::BgrImage out;
    resampler.resample(picture, 2, 2, out); // each takes 2.5 rows and columns
    const double first = (srgbToLight(10) + srgbToLight(200) + 0.5 * srgbToLight(90)) / 2.5;
    const double second = (0.5 * srgbToLight(90) + srgbToLight(250) + srgbToLight(0)) / 2.5;
    EXPECT_EQ(out.row(0)[0], nearestCode(first));
    EXPECT_EQ(out.row(1)[1], nearestCode(second));
    EXPECT_EQ(out.row(1)[2], nearestCode(first));
    resampler.resample(picture, 5, 1, out);
    const double top =
        (srgbToLight(10) + srgbToLight(200) + srgbToLight(90) + srgbToLight(250) + srgbToLight(0)) /
        5;
    EXPECT_EQ(out.row(0)[3 * 4], nearestCode(top));
}

// Shrunk by a factor that is no whole number (1.6 across, 2.5 down), each new pixel's shares of
// the old ones still add up to one: a flat grey stays that grey, no darker at any pixel.
TEST(PictureResampler, ShrinksAFlatGreyByAnUnevenFactorToTheSameGrey) {
    core::BgrImage grey = core::BgrImage::blank(320, 60);
    std::fill(grey.bytes.begin(), grey.bytes.end(), std::uint8_t{128});
    picture::PictureResampler resampler;
    core::BgrImage shrunk;
    resampler.resample(grey, 200, 24, shrunk);

    ASSERT_EQ(shrunk.width, 200);
    ASSERT_EQ(shrunk.height, 24);
    for (int y = 0; y < shrunk.height; ++y)
        for (int x = 0; x < shrunk.width * 3; ++x)
            ASSERT_NEAR(shrunk.row(y)[x], 128, 1) << x / 3 << "," << y;
}

} // namespace
