#pragma once

// Decimal digits in a 5 x 7 bitmap font, so a person can read the frame number off a picture.

#include <string_view>

namespace testmedia {

class BgrImage;
struct Bgr;

class DigitFont {
public:
    static constexpr int glyphWidth = 5;
    static constexpr int glyphHeight = 7;

    explicit DigitFont(int scale) : scale_(scale) {}

    // Width of `text` in pixels, one blank column between glyphs.
    int textWidth(std::string_view text) const;
    int textHeight() const { return glyphHeight * scale_; }
    // Draws the digits of `text` (other characters are left blank) with the top-left at x, y.
    void draw(BgrImage& picture, std::string_view text, int x, int y, Bgr colour) const;

private:
    int scale_;
};

} // namespace testmedia
