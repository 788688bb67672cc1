#pragma once

#include "core/BgrImage.h"
#include "picture/PicturePtr.h"

#include <cstdint>
#include <vector>

namespace picture {

// Resizes 24-bit pictures: a side that shrinks by the average of the area each new pixel
// covers, in linear light; a side that grows with a Lanczos filter, each colour channel on its
// own, so no colour is carried through a YUV matrix and back. Keeps one scaler and builds it anew
// only when the sizes change.
class PictureResampler {
public:
    // `out` becomes `in` at width x height (a picture of its own: `out` is not `in`), its pixels
    // square.
    void resample(const core::BgrImage& in, int width, int height, core::BgrImage& out);

private:
    struct Spans;
    void lightUp(const core::BgrImage& in, int y);
    void addDown(float share, bool first);
    void addDownOpaque(const std::uint8_t* row, float share, const std::uint8_t* second,
                       float secondShare, bool first);
    template <int Values> void averageAcross(const Spans& columns, int width);
    void codeRow(int y, bool alpha, core::BgrImage& out) const;
    void grow(const core::BgrImage& in, int width, int height, core::BgrImage& out);
    void shrink(const core::BgrImage& in, int width, int height, core::BgrImage& out);
    SwsContext& scalerFor(int inWidth, int inHeight, int outWidth, int outHeight);

    ScalerPtr scaler_;
    int sizes_[4] = {};
    // One channel of the picture in and out, rows padded as the scaler's fast paths need.
    std::vector<std::uint8_t> plane_;
    std::vector<std::uint8_t> scaled_;
    core::BgrImage shrunk_;       // a picture shrunk along one side, to grow along the other
    std::vector<float> lightRow_; // one row of a picture with alpha, in linear light
    std::vector<float> down_;     // the rows one row out covers, averaged
    std::vector<float> sum_;      // one row of the picture out, before its light is coded
};

} // namespace picture
