#include "picture/PixelLayout.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace picture {

PixelLayout PixelLayout::named(std::string_view name) {
    if (name == "rgb")
        return PixelLayout(Order::rgb);
    if (name == "bgr")
        return PixelLayout(Order::bgr);
    if (name == "rgba")
        return PixelLayout(Order::rgba);
    throw std::invalid_argument("the colour order must be rgb, bgr or rgba, not '" +
                                std::string(name) + "'");
}

void PixelLayout::pack(const core::BgrImage& picture, std::uint8_t* out) const {
    const auto width = static_cast<std::size_t>(picture.width);
    const bool hasAlpha = !picture.alpha.empty();
    for (int y = 0; y < picture.height; ++y) {
        const std::uint8_t* in = picture.row(y);
        std::uint8_t* row = out + static_cast<std::size_t>(y) * width * channels();
        if (order_ == Order::bgr) {
            std::memcpy(row, in, width * 3);
            continue;
        }
        const std::uint8_t* alpha =
            hasAlpha ? picture.alpha.data() + static_cast<std::size_t>(y) * width : nullptr;
        const std::size_t step = static_cast<std::size_t>(channels());
        for (std::size_t x = 0; x < width; ++x, in += 3, row += step) {
            row[0] = in[2];
            row[1] = in[1];
            row[2] = in[0];
            if (order_ == Order::rgba)
                row[3] = alpha ? alpha[x] : 255;
        }
    }
}

} // namespace picture
