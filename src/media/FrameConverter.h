#pragma once

#include "media/FfmpegPtr.h"

namespace core {
struct BgrImage;
}

namespace media {

// Turns decoded pictures into 24-bit BGR rows, scaled to the movie's size should a picture
// differ from it. Keeps one scaler and builds it anew only when the source changes.
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

    SwsContext& scalerFor(const Source& source);

    ScalerPtr scaler_;
    Source source_;
};

} // namespace media
