#include "support/testmedia/DigitFont.h"

#include "support/testmedia/BgrImage.h"

#include <array>
#include <cstdint>

namespace testmedia {

namespace {

// One byte a row, the leftmost pixel in bit 4.
using Glyph = std::array<std::uint8_t, DigitFont::glyphHeight>;
constexpr std::array<Glyph, 10> digits{{
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E},
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F},
    {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02},
    {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E},
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E},
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
}};

} // namespace

int DigitFont::textWidth(std::string_view text) const {
    if (text.empty())
        return 0;
    return (static_cast<int>(text.size()) * (glyphWidth + 1) - 1) * scale_;
}

void DigitFont::draw(BgrImage& picture, std::string_view text, int x, int y, Bgr colour) const {
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            const Glyph& glyph = digits[c - '0'];
            for (int row = 0; row < glyphHeight; ++row)
                for (int column = 0; column < glyphWidth; ++column)
                    if (glyph[row] & (0x10 >> column))
                        picture.fillRect(x + column * scale_, y + row * scale_, scale_, scale_,
                                         colour);
        }
        x += (glyphWidth + 1) * scale_;
    }
}

} // namespace testmedia
