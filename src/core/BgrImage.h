#pragma once

#include "core/PixelShape.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace core {

// A 24-bit picture, rows top first, each row stride() bytes (blue, green, red per pixel, zero
// padding): the row layout of a bitmap file, so writing one is a copy of rows in reverse.
struct BgrImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint32_t> palette; // 0x00RRGGBB entries; empty unless the frame was palettised
    PixelShape sampleAspect;            // the shape its pixels are meant to be shown in
    std::vector<std::uint8_t> alpha;    // width x height, rows top first; empty unless it had alpha

    int stride() const { return (width * 3 + 3) & ~3; }
    std::uint8_t* row(int y) { return bytes.data() + rowOffset(y); }
    const std::uint8_t* row(int y) const { return bytes.data() + rowOffset(y); }
    std::size_t rowOffset(int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(stride());
    }

    // Black, padding zeroed. Throws core::Error for a negative or unaddressable size.
    static BgrImage blank(int width, int height);
};

} // namespace core
