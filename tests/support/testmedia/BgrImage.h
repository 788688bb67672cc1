#pragma once

#include "support/testmedia/TestMedia.h"

#include <cstdint>
#include <vector>

namespace testmedia {

struct Bgr {
    std::uint8_t b = 0;
    std::uint8_t g = 0;
    std::uint8_t r = 0;
};

// A picture being drawn: rows top-first, 3 bytes a pixel, no padding.
class BgrImage {
public:
    BgrImage(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    int stride() const { return width_ * 3; }
    const std::uint8_t* bytes() const { return bytes_.data(); }
    BgrView view() const { return {bytes_.data(), width_, height_, stride()}; }

    Bgr pixel(int x, int y) const;
    void setPixel(int x, int y, Bgr colour);
    // Clipped to the picture.
    void fillRect(int x, int y, int width, int height, Bgr colour);

private:
    int width_;
    int height_;
    std::vector<std::uint8_t> bytes_;
};

} // namespace testmedia
