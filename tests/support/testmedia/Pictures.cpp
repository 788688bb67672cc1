#include "support/testmedia/Pictures.h"

#include "support/testmedia/BgrImage.h"
#include "support/testmedia/CellGrid.h"
#include "support/testmedia/DigitFont.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

namespace testmedia {

namespace {

// 0..255..0 over 510 steps: a ramp without hard edges.
std::uint8_t triangle(int v) {
    const int phase = ((v % 510) + 510) % 510;
    return static_cast<std::uint8_t>(std::abs(phase - 255));
}

std::uint8_t toByte(double v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
}

double mix(double a, double b, double t) {
    return a + (b - a) * t;
}

Bgr mix(Bgr a, Bgr b, double t) {
    return {toByte(mix(a.b, b.b, t)), toByte(mix(a.g, b.g, t)), toByte(mix(a.r, b.r, t))};
}

CellGrid gridFor(int width, int height) {
    const std::optional<CellGrid> grid = CellGrid::forPicture(width, height);
    if (!grid)
        throw std::invalid_argument("picture of " + std::to_string(width) + " x " +
                                    std::to_string(height) + " is too small for a frame number");
    return *grid;
}

void paintSky(BgrImage& picture, int n) {
    const double dusk = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * n / 600.0);
    const Bgr zenith = mix(Bgr{150, 70, 30}, Bgr{90, 30, 40}, dusk);
    const Bgr horizon = mix(Bgr{120, 200, 250}, Bgr{80, 120, 250}, dusk);
    for (int y = 0; y < picture.height(); ++y) {
        const Bgr row = mix(zenith, horizon, static_cast<double>(y) / picture.height());
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, row);
    }
}

void paintSun(BgrImage& picture, int n) {
    const double w = picture.width();
    const double h = picture.height();
    const double angle = std::numbers::pi * (n % 300) / 300.0;
    const double cx = w * (0.5 - 0.4 * std::cos(angle));
    const double cy = h * (0.75 - 0.55 * std::sin(angle));
    const double radius = h / 10.0;
    const double reach = radius * 2.5;
    const Bgr core{170, 240, 255};
    const int top = std::max(0, static_cast<int>(cy - reach));
    const int bottom = std::min(picture.height(), static_cast<int>(cy + reach) + 1);
    const int left = std::max(0, static_cast<int>(cx - reach));
    const int right = std::min(picture.width(), static_cast<int>(cx + reach) + 1);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            const double glow = std::clamp((reach - d) / (radius * 1.5), 0.0, 1.0) * 0.35;
            const double disc = std::clamp(radius + 1.0 - d, 0.0, 1.0);
            const double cover = std::max(glow * glow * 3, disc);
            picture.setPixel(x, y, mix(picture.pixel(x, y), core, std::min(cover, 1.0)));
        }
}

void paintHills(BgrImage& picture, int n) {
    const double h = picture.height();
    for (int x = 0; x < picture.width(); ++x) {
        const double far = h * 0.72 + h * 0.05 * std::sin((x + n * 0.5) / 23.0);
        const double near = h * 0.82 + h * 0.04 * std::sin((x + n * 1.5) / 17.0 + 1.0);
        for (int y = 0; y < picture.height(); ++y) {
            if (y >= near)
                picture.setPixel(x, y, mix(Bgr{40, 90, 40}, Bgr{20, 50, 20}, (y - near) / h * 4));
            else if (y >= far)
                picture.setPixel(x, y, mix(picture.pixel(x, y), Bgr{90, 110, 70}, 0.8));
        }
    }
}

void paintNumber(BgrImage& picture, int n) {
    const DigitFont font(std::max(1, picture.height() / 40));
    const std::string text = std::to_string(n);
    const int x = (picture.width() - font.textWidth(text)) / 2;
    const int y = picture.height() - font.textHeight() - picture.height() / 20;
    const int shadow = std::max(1, picture.height() / 120);
    font.draw(picture, text, x + shadow, y + shadow, Bgr{30, 20, 20});
    font.draw(picture, text, x, y, Bgr{240, 250, 255});
}

} // namespace

BgrImage testPicture(int width, int height, int n) {
    const CellGrid grid = gridFor(width, height);
    BgrImage picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(
                x, y, {triangle(2 * x + 3 * n), triangle(3 * y + 2 * n), triangle(x + y + 5 * n)});
    grid.paint(picture, n);
    return picture;
}

BgrImage samplePicture(int width, int height, int n) {
    const CellGrid grid = gridFor(width, height);
    BgrImage picture(width, height);
    paintSky(picture, n);
    paintSun(picture, n);
    paintHills(picture, n);
    paintNumber(picture, n);
    grid.paint(picture, n);
    return picture;
}

} // namespace testmedia
