#include "support/testmedia/Palette.h"

#include "support/testmedia/BgrImage.h"

namespace testmedia {

std::uint8_t paletteIndex(Bgr c) {
    return static_cast<std::uint8_t>((c.r >> 5) << 5 | (c.g >> 5) << 2 | c.b >> 6);
}

Bgr paletteColour(int index) {
    return {static_cast<std::uint8_t>((index & 3) * 255 / 3),
            static_cast<std::uint8_t>((index >> 2 & 7) * 255 / 7),
            static_cast<std::uint8_t>((index >> 5 & 7) * 255 / 7)};
}

std::uint32_t paletteEntry(int index) {
    const Bgr c = paletteColour(index);
    return 0xFF000000u | std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b;
}

} // namespace testmedia
