#include "media/PictureResampler.h"

#include "core/BgrImage.h"

#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <string>

namespace media {

namespace {

// Rows a multiple of 64 bytes with room past the last pixel and an extra row: the scaler reads
// and writes whole vector blocks.
int paddedRow(int width) {
    return (width + 64 + 63) & ~63;
}

std::size_t planeSize(int width, int height) {
    return static_cast<std::size_t>(paddedRow(width)) * static_cast<std::size_t>(height + 1);
}

} // namespace

void PictureResampler::resample(const core::BgrImage& in, int width, int height,
                                core::BgrImage& out) {
    out.width = width;
    out.height = height;
    out.bytes.assign(static_cast<std::size_t>(out.stride()) * static_cast<std::size_t>(height), 0);
    out.palette.clear(); // filtered colours leave any palette
    out.sampleAspect = {};
    const bool hasAlpha =
        in.alpha.size() == static_cast<std::size_t>(in.width) * static_cast<std::size_t>(in.height);
    out.alpha.assign(
        hasAlpha ? static_cast<std::size_t>(width) * static_cast<std::size_t>(height) : 0, 0);
    if (width <= 0 || height <= 0 || in.width <= 0 || in.height <= 0)
        return;
    SwsContext& scaler = scalerFor(in.width, in.height, width, height);
    const int inRow = paddedRow(in.width);
    const int outRow = paddedRow(width);
    plane_.resize(planeSize(in.width, in.height));
    scaled_.resize(planeSize(width, height));
    // Blue, green, red, then the alpha plane where there is one.
    for (int channel = 0; channel < (hasAlpha ? 4 : 3); ++channel) {
        const bool isAlpha = channel == 3;
        for (int y = 0; y < in.height; ++y) {
            const std::uint8_t* from =
                isAlpha ? in.alpha.data() + static_cast<std::size_t>(y) * in.width
                        : in.row(y) + channel;
            const int step = isAlpha ? 1 : 3;
            std::uint8_t* to = plane_.data() + static_cast<std::size_t>(y) * inRow;
            for (int x = 0; x < in.width; ++x, from += step)
                to[x] = *from;
        }
        const std::uint8_t* const source[4] = {plane_.data(), nullptr, nullptr, nullptr};
        const int sourceRows[4] = {inRow, 0, 0, 0};
        std::uint8_t* const target[4] = {scaled_.data(), nullptr, nullptr, nullptr};
        const int targetRows[4] = {outRow, 0, 0, 0};
        sws_scale(&scaler, source, sourceRows, 0, in.height, target, targetRows);
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* from = scaled_.data() + static_cast<std::size_t>(y) * outRow;
            std::uint8_t* to = isAlpha ? out.alpha.data() + static_cast<std::size_t>(y) * width
                                       : out.row(y) + channel;
            const int step = isAlpha ? 1 : 3;
            for (int x = 0; x < width; ++x, to += step)
                *to = from[x];
        }
    }
}

SwsContext& PictureResampler::scalerFor(int inWidth, int inHeight, int outWidth, int outHeight) {
    const int sizes[4] = {inWidth, inHeight, outWidth, outHeight};
    if (scaler_ && std::memcmp(sizes, sizes_, sizeof sizes) == 0)
        return *scaler_;
    scaler_.reset(sws_getContext(inWidth, inHeight, AV_PIX_FMT_GRAY8, outWidth, outHeight,
                                 AV_PIX_FMT_GRAY8, SWS_LANCZOS | SWS_ACCURATE_RND, nullptr, nullptr,
                                 nullptr));
    if (!scaler_)
        throw std::runtime_error("cannot resize pictures to " + std::to_string(outWidth) + " x " +
                                 std::to_string(outHeight));
    std::memcpy(sizes_, sizes, sizeof sizes);
    return *scaler_;
}

} // namespace media
