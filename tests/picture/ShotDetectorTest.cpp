#include "picture/ShotDetector.h"

#include "core/BgrImage.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Pictures 64 x 48, each pixel's colour a function of its place in a wider scene, so a scene can
// be shown still, panned across, faded or mixed with another.
using Scene = std::function<void(double x, double y, double rgb[3])>;

void blobs(double x, double y, double rgb[3]) {
    rgb[0] = 128 + 100 * std::sin(x / 9.0) * std::cos(y / 7.0);
    rgb[1] = 128 + 100 * std::sin(x / 23.0 + 1.0);
    rgb[2] = 128 + 100 * std::cos((x + y) / 13.0);
}

void stripes(double x, double y, double rgb[3]) {
    const bool light = static_cast<int>(x / 8 + y / 12) % 2 == 0;
    rgb[0] = light ? 230 : 40;
    rgb[1] = 60 + y * 3;
    rgb[2] = light ? 30 : 200;
}

// Mostly dark, a few bright specks: hardly further from black than black is.
void specks(double x, double y, double rgb[3]) {
    const bool lit = static_cast<int>(x) % 16 < 3 && static_cast<int>(y) % 12 < 3;
    rgb[0] = rgb[1] = rgb[2] = lit ? 220 : 12;
}

// `weight` of `a` over `b`, both seen from `shift` pixels to the right; with `grain` 0 or more,
// each pixel gets its own noise of up to 12 levels, new for each grain number.
core::BgrImage picture(const Scene& a, const Scene& b, double weight, double shift = 0.0,
                       int grain = -1) {
    core::BgrImage image = core::BgrImage::blank(64, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            double first[3] = {};
            double second[3] = {};
            a(x + shift, y, first);
            b(x + shift, y, second);
            const unsigned hash =
                (static_cast<unsigned>(x) * 73856093u ^ static_cast<unsigned>(y) * 19349663u ^
                 static_cast<unsigned>(grain) * 83492791u) *
                2654435761u;
            const double noise = grain < 0 ? 0.0 : static_cast<double>(hash >> 24) / 10.6 - 12;
            for (int c = 0; c < 3; ++c)
                image.row(y)[3 * x + c] = static_cast<std::uint8_t>(std::lround(
                    std::clamp(weight * first[c] + (1 - weight) * second[c] + noise, 0.0, 255.0)));
        }
    return image;
}

const Scene black = [](double, double, double rgb[3]) { rgb[0] = rgb[1] = rgb[2] = 0; };
const Scene white = [](double, double, double rgb[3]) { rgb[0] = rgb[1] = rgb[2] = 255; };

std::vector<int> shotsOf(const std::vector<core::BgrImage>& pictures) {
    picture::ShotDetector detector(50, 25.0);
    for (const core::BgrImage& p : pictures)
        detector.add(p);
    std::vector<int> frames;
    for (const picture::ShotDetector::Shot& shot : detector.finish())
        frames.push_back(shot.frame);
    return frames;
}

// A fade through black that rests on the black (frames 30 to 42) into grainy specks, clean
// from 43, is one shot at its end: not one into the black and one out of it, even though the
// specks alone are hardly further from the black than a cut, nor later for the grain. Neither a
// half-white flash over three frames, nor a dip to black and back, nor a pan that moves the
// picture by a sixteenth of its width a frame for two seconds is a shot, and neither are the
// first frames a still scene fades in on.
TEST(ShotDetector, OneShotForAFadeThroughBlackNoneForFlashesDipsAndPans) {
    std::vector<core::BgrImage> pictures;
    for (int n = 0; n < 6; ++n) // fades in from black: the first shot's own beginning
        pictures.push_back(picture(blobs, black, n / 6.0));
    for (int n = 6; n < 10; ++n)
        pictures.push_back(picture(blobs, black, 1.0));
    for (int n = 10; n < 13; ++n)
        pictures.push_back(picture(blobs, white, 0.5));
    for (int n = 13; n < 16; ++n)
        pictures.push_back(picture(blobs, black, 1.0));
    for (const double weight : {0.66, 0.33, 0.0, 0.0, 0.0, 0.33, 0.66, 1.0}) // 16 to 23
        pictures.push_back(picture(blobs, black, weight));
    for (int n = 24; n < 30; ++n)
        pictures.push_back(picture(blobs, black, 1.0));
    for (int n = 1; n <= 5; ++n)
        pictures.push_back(picture(blobs, black, 1.0 - n / 5.0));
    for (int n = 0; n < 4; ++n)
        pictures.push_back(picture(black, black, 1.0));
    for (int n = 1; n <= 5; ++n)
        pictures.push_back(picture(specks, black, n / 5.0, 0.0, n));
    for (int n = 0; n < 20; ++n)
        pictures.push_back(picture(specks, black, 1.0, 0.0, 10 + n));
    for (int n = 0; n < 50; ++n) // cut at 64 to a pan
        pictures.push_back(picture(blobs, black, 1.0, 4.0 * n));
    for (int n = 0; n < 20; ++n) // the pan stops
        pictures.push_back(picture(blobs, black, 1.0, 200.0));
    for (int n = 1; n <= 12; ++n) // a cross-fade into stripes, clean from 145
        pictures.push_back(picture(
            stripes, [](double x, double y, double rgb[3]) { blobs(x + 200, y, rgb); }, n / 12.0));
    for (int n = 0; n < 20; ++n)
        pictures.push_back(picture(stripes, black, 1.0));

    EXPECT_EQ(shotsOf(pictures), (std::vector<int>{0, 43, 64, 145}));
}

// Cells on black that are born and die every frame, fewer as time goes on: dark, restless, its
// light drifting.
core::BgrImage cells(int frame, double weight, int decline = 4, int pace = 1) {
    core::BgrImage image = core::BgrImage::blank(64, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const bool alive = (x * 37 + y * 91 + frame / pace * 53) % 100 < 35 - frame / decline;
            std::uint8_t* const pixel = image.row(y) + 3 * x;
            pixel[1] = static_cast<std::uint8_t>(std::lround((alive ? 255 : 0) * weight));
            pixel[0] = pixel[2] =
                static_cast<std::uint8_t>(std::lround((alive ? 128 : 0) * weight));
        }
    return image;
}

// A dip to black straight into such a shot, with no rest on the black, is one shot at the first
// clean frame: the shot's own flicker never settles as a still shot does, but it stops
// brightening when the fade does.
TEST(ShotDetector, ADipToBlackIntoARestlessDarkShot) {
    std::vector<core::BgrImage> pictures;
    for (int n = 0; n < 30; ++n)
        pictures.push_back(picture(blobs, black, n < 18 ? 1.0 : (30 - n) / 12.0));
    for (int n = 0; n < 40; ++n) // fades in over frames 30 to 41, clean from 42
        pictures.push_back(cells(n, std::min(1.0, n / 12.0)));
    EXPECT_EQ(shotsOf(pictures), (std::vector<int>{0, 42}));
}

// After a moving, grainy shot the last steps of a slow fade in are no larger than that shot's
// motion: the light still tells where the fade ends.
TEST(ShotDetector, ADipToBlackIntoADarkShotAfterAMovingOne) {
    std::vector<core::BgrImage> pictures;
    for (int n = 0; n < 30; ++n)
        pictures.push_back(picture(blobs, black, n < 24 ? 1.0 : (30 - n) / 6.0, 3.0 * n, n));
    for (int n = 0; n < 40; ++n) // fades in over frames 30 to 49, clean from 50
        pictures.push_back(cells(n, std::min(1.0, n / 20.0), 100, 3));
    EXPECT_EQ(shotsOf(pictures), (std::vector<int>{0, 50}));
}

} // namespace
