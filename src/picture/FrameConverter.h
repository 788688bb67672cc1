#pragma once

#include "picture/PictureColour.h"
#include "picture/PicturePtr.h"

#include <cstdint>
#include <memory>

namespace core {
struct BgrImage;
}

namespace picture {

class ColourStage;

// Turns decoded pictures into 24-bit BGR rows, scaled to the movie's size should a picture
// differ from it. Keeps one scaler and builds it anew only when the source changes.
// swscale's fast paths write whole blocks of pixels past a row's end, so it writes into padded
// rows of a band buffer, a cache-sized band at a time, and the rows are copied out from there.
// Colours are read as the stream declares them, or by the players' rule (PictureColour); HDR
// and wide-gamut pictures go through 16-bit RGB and the ColourStage, the others straight to BGR.
class FrameConverter {
public:
    FrameConverter();
    ~FrameConverter();
    FrameConverter(FrameConverter&&) noexcept;
    FrameConverter& operator=(FrameConverter&&) noexcept;

    // Where the pictures come from: their codec (some fix their colours) and the most light the
    // stream says it holds, cd/m² (0 when it does not say).
    void describeSource(AVCodecID codec, double peak);

    // `paletteSize` entries of a palettised picture's palette are handed on; the colour stage
    // takes `threads` threads.
    void convert(const AVFrame& frame, int width, int height, int paletteSize, core::BgrImage& out,
                 int threads = 1);

private:
    struct Source {
        int width = 0;
        int height = 0;
        int format = -1;
        bool fullRange = false;
        int colorSpace = -1;
        int targetWidth = 0;
        int targetHeight = 0;
        bool linear = false; // to 16-bit RGB for the colour stage
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
    AVCodecID codec_ = AV_CODEC_ID_NONE;
    double peak_ = 10000.0; // cd/m²: the most the stream declares it holds
    std::unique_ptr<ColourStage> stage_;
    PictureColour stageColour_;
};

} // namespace picture
