#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace core {
struct BgrImage;
}

namespace picture {
struct DeepPicture;
}

namespace cli {

// The whole PNG file of a picture: 8-bit RGB, lossless; a picture with alpha gives RGBA, a
// palettised picture keeps its palette and one byte a pixel. Its pHYs chunk gives the pixels'
// shape. Compressed for speed rather than size. Throws ExtractError when the encoder fails.
std::vector<std::uint8_t> encodePng(const core::BgrImage& image);

// What PNG's cICP chunk says of the pixels: the colour primaries and transfer by their H.273
// numbers, on RGB (matrix 0) values of full range.
struct CodingPoints {
    std::uint8_t primaries = 0;
    std::uint8_t transfer = 0;
};

// The whole PNG file of a 16-bit picture: RGB of 16 bits a channel, with a cICP chunk when
// `coding` is given and mDCV and cLLI chunks when the picture carries that metadata; pHYs gives
// the pixels' shape. Throws ExtractError when the encoder fails.
std::vector<std::uint8_t> encodeDeepPng(const picture::DeepPicture& picture,
                                        std::optional<CodingPoints> coding);

} // namespace cli
