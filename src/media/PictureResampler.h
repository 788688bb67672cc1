#pragma once

#include "media/FfmpegPtr.h"

#include <cstdint>
#include <vector>

namespace core {
struct BgrImage;
}

namespace media {

// Resizes 24-bit pictures with a Lanczos filter, each colour channel on its own, so no colour
// is carried through a YUV matrix and back. Keeps one scaler and builds it anew only when the
// sizes change.
class PictureResampler {
public:
    // `out` becomes `in` at width x height (a picture of its own: `out` is not `in`).
    void resample(const core::BgrImage& in, int width, int height, core::BgrImage& out);

private:
    SwsContext& scalerFor(int inWidth, int inHeight, int outWidth, int outHeight);

    ScalerPtr scaler_;
    int sizes_[4] = {};
    // One channel of the picture in and out, rows padded as the scaler's fast paths need.
    std::vector<std::uint8_t> plane_;
    std::vector<std::uint8_t> scaled_;
};

} // namespace media
