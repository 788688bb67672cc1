#pragma once

#include "core/PixelShape.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace picture {

// A picture at 16 bits a channel, as the stream codes its colours (its primaries and transfer,
// nothing tone-mapped): red, green and blue a pixel, rows top first, full range.
struct DeepPicture {
    // The mastering display, in the units PNG's mDCV chunk stores: chromaticities in 0.00002,
    // red, green, blue and then white; luminances in 0.0001 cd/m².
    struct Mastering {
        std::uint16_t chromaticities[8] = {};
        std::uint32_t maxLuminance = 0;
        std::uint32_t minLuminance = 0;
    };
    // The brightest pixel and the brightest frame average of the content, in cd/m².
    struct LightLevel {
        std::uint32_t maxContent = 0;
        std::uint32_t maxFrameAverage = 0;
    };

    int width = 0;
    int height = 0;
    std::vector<std::uint16_t> rgb;
    core::PixelShape sampleAspect;
    std::optional<Mastering> mastering; // when the stream has said
    std::optional<LightLevel> lightLevel;
};

} // namespace picture
