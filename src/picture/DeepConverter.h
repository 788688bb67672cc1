#pragma once

#include "picture/DeepPicture.h"
#include "picture/PicturePtr.h"

#include <cstdint>
#include <optional>

extern "C" {
#include <libavcodec/codec_id.h>
}

namespace picture {

// Turns decoded pictures into 16-bit RGB as the stream codes them: its matrix and range undone,
// its primaries and transfer kept. Planar RGB of N bits is widened exactly, each value's top bits
// repeated below it (10 bits: v << 6 | v >> 4), so full scale stays full scale. Keeps the
// mastering display and light level a stream states on its key frames for the frames after.
class DeepConverter {
public:
    // `codec` fixes the colours some codecs leave unsaid (see PictureColour::resolve).
    void convert(const AVFrame& frame, AVCodecID codec, DeepPicture& out);

private:
    void widenPlanarRgb(const AVFrame& frame, DeepPicture& out) const;
    void scale(const AVFrame& frame, AVCodecID codec, DeepPicture& out);
    void takeMetadata(const AVFrame& frame);

    ScalerPtr scaler_;
    int scalerFor_[5] = {}; // width, height, format, matrix, full range
    std::optional<DeepPicture::Mastering> mastering_;
    std::optional<DeepPicture::LightLevel> lightLevel_;
};

} // namespace picture
