#pragma once

#include "core/PixelShape.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace core {

// A 24-bit picture, each row stride() bytes (blue, green, red per pixel, zero padding): the row
// layout of a bitmap file. Rows are stored top first, or bottom first where the picture is bound
// for a bitmap file, whose rows then go out in one piece: the system copies one run of bytes
// into a file faster than the same bytes as a run of rows.
struct BgrImage {
    int width = 0;
    int height = 0;
    bool bottomFirst = false; // how `bytes` holds the rows; row(y) counts from the top either way
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint32_t> palette; // 0x00RRGGBB entries; empty unless the frame was palettised
    PixelShape sampleAspect;            // the shape its pixels are meant to be shown in
    std::vector<std::uint8_t> alpha;    // width x height, rows top first; empty unless it had alpha

    int stride() const { return (width * 3 + 3) & ~3; }
    std::uint8_t* row(int y) { return bytes.data() + rowOffset(y); }
    const std::uint8_t* row(int y) const { return bytes.data() + rowOffset(y); }
    std::size_t rowOffset(int y) const {
        const int stored = bottomFirst ? height - 1 - y : y;
        return static_cast<std::size_t>(stored) * static_cast<std::size_t>(stride());
    }
    // From a row to the one below it.
    std::ptrdiff_t rowStep() const { return bottomFirst ? -stride() : stride(); }

    // Black, padding zeroed. Throws core::Error for a negative or unaddressable size.
    static BgrImage blank(int width, int height);
};

} // namespace core
