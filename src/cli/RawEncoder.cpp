#include "cli/RawEncoder.h"

namespace cli {

std::vector<std::uint8_t> encodeRgb24(const core::BgrImage& image) {
    const auto rowBytes = static_cast<std::size_t>(image.width) * 3;
    std::vector<std::uint8_t> bytes(rowBytes * static_cast<std::size_t>(image.height));
    std::uint8_t* to = bytes.data();
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* from = image.row(y);
        for (std::size_t x = 0; x < rowBytes; x += 3) {
            to[x] = from[x + 2];
            to[x + 1] = from[x + 1];
            to[x + 2] = from[x];
        }
        to += rowBytes;
    }
    return bytes;
}

} // namespace cli
