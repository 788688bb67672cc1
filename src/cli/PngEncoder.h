#pragma once

#include <cstdint>
#include <vector>

namespace core {
struct BgrImage;
}

namespace cli {

// The whole PNG file of a picture: 8-bit RGB, lossless; a picture with alpha gives RGBA, a
// palettised picture keeps its palette and one byte a pixel. Its pHYs chunk gives the pixels'
// shape. Compressed for speed rather than size. Throws ExtractError when the encoder fails.
std::vector<std::uint8_t> encodePng(const core::BgrImage& image);

} // namespace cli
