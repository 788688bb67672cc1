#include "support/testmedia/BgrImage.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>

namespace testmedia {

BgrImage::BgrImage(int width, int height) : width_(width), height_(height) {
    if (width <= 0 || height <= 0)
        throw std::invalid_argument("picture size must be positive");
    // swscale works in blocks of 16 pixels and steps past the last row of narrow pictures.
    constexpr std::size_t slack = 64;
    bytes_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3 + slack);
}

Bgr BgrImage::pixel(int x, int y) const {
    const std::uint8_t* p = bytes_.data() + static_cast<std::size_t>(y) * stride() + x * 3;
    return {p[0], p[1], p[2]};
}

void BgrImage::setPixel(int x, int y, Bgr colour) {
    std::uint8_t* p = bytes_.data() + static_cast<std::size_t>(y) * stride() + x * 3;
    p[0] = colour.b;
    p[1] = colour.g;
    p[2] = colour.r;
}

void BgrImage::fillRect(int x, int y, int width, int height, Bgr colour) {
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = std::min(x + width, width_);
    const int bottom = std::min(y + height, height_);
    for (int row = top; row < bottom; ++row)
        for (int column = left; column < right; ++column)
            setPixel(column, row, colour);
}

} // namespace testmedia
