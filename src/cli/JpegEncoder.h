#pragma once

#include <cstdint>
#include <vector>

namespace core {
struct BgrImage;
}

namespace cli {

struct JpegOptions {
    int quality = 92; // 1 to 100
};

// The whole JPEG file of a picture: baseline, JFIF, chroma halved both ways (4:2:0) below
// quality 100 and kept whole (4:4:4) at 100. The JFIF densities carry the pixels' shape.
// Throws ExtractError when the encoder fails.
std::vector<std::uint8_t> encodeJpeg(const core::BgrImage& image, const JpegOptions& options);

} // namespace cli
