#pragma once

#include "media/FfmpegPtr.h"

#include <cstdint>
#include <memory>

namespace core {
struct BgrImage;
}

namespace media {

// Turns decoded pictures into 24-bit BGR rows, scaled to the movie's size should a picture
// differ from it. Keeps one scaler and builds it anew only when the source changes.
// swscale's fast paths write whole blocks of pixels past a row's end, so it writes into padded
// rows of a band buffer, a cache-sized band at a time, and the rows are copied out from there.
class FrameConverter {
public:
    // `paletteSize` entries of a palettised picture's palette are handed on.
    void convert(const AVFrame& frame, int width, int height, int paletteSize, core::BgrImage& out);

private:
    struct Source {
        int width = 0;
        int height = 0;
        int format = -1;
        bool fullRange = false;
        int colorSpace = -1;
        int targetWidth = 0;
        int targetHeight = 0;
        bool operator==(const Source&) const = default;
    };

    struct BufferDeleter {
        void operator()(std::uint8_t* bytes) const;
    };

    SwsContext& scalerFor(const Source& source);
    std::uint8_t* bandFor(int stride, int rows);

    ScalerPtr scaler_;
    Source source_;
    std::unique_ptr<std::uint8_t, BufferDeleter> band_;
    std::size_t bandSize_ = 0;
};

} // namespace media
