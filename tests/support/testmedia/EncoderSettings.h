#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

extern "C" {
#include <libavutil/pixfmt.h>
}

namespace testmedia {

struct EncoderSettings {
    std::string encoder; // FFmpeg's encoder name
    AVPixelFormat pixelFormat = AV_PIX_FMT_NONE;
    int width = 0;
    int height = 0;
    int sizeStep = 1; // checked before opening: libx264 leaks when it refuses a size
    int fps = 25;
    int gop = 12;
    int bFrames = 0;
    std::optional<int> keyintMin; // for encoders that take the key interval from it
    bool bottomUp = false;  // raw pictures stored bottom row first, as AVI files usually have them
    bool fullRange = false; // full-range YUV in a format that does not say so itself
    bool packedBFrames = false; // MPEG-4 B-frames packed with their reference (PackedBFrames.h)
    std::int64_t bitRate = 0;   // 0: the encoder's own default
    std::vector<std::pair<std::string, std::string>> options; // codec context or private options
};

} // namespace testmedia
