#pragma once

// The palette of paletted movies: 3 bits red, 3 green, 2 blue, so every entry differs and black
// and white are exact (entries 0 and 255).

#include <cstdint>

namespace testmedia {

struct Bgr;

std::uint8_t paletteIndex(Bgr colour);
// As FFmpeg keeps palettes: 0xAARRGGBB.
std::uint32_t paletteEntry(int index);
Bgr paletteColour(int index);

} // namespace testmedia
