#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

namespace core {
struct BgrImage;
}

namespace cli {

// Draws one line of text into pictures with FreeType, smoothed; each character from the first
// of the fonts that has it (so a Japanese movie name shows as well as a Latin one).
class TextPainter {
public:
    // The fonts of `fontFiles` that open, at `pixelSize` pixels an em.
    explicit TextPainter(int pixelSize,
                         const std::vector<std::filesystem::path>& fontFiles = systemFonts());
    ~TextPainter();
    TextPainter(const TextPainter&) = delete;
    TextPainter& operator=(const TextPainter&) = delete;

    // False when no font opened: nothing is drawn, and a line takes no room.
    bool hasFont() const;
    int lineHeight() const { return lineHeight_; }
    int width(std::string_view utf8);
    // Draws `utf8` in `colour` (0xRRGGBB) with the line's top-left corner at (x, y), clipped to
    // the picture and to the columns before `right`.
    void draw(core::BgrImage& image, int x, int y, int right, std::string_view utf8,
              std::uint32_t colour);

    // The fonts a Debian system installs (DejaVu Sans, IPA P Gothic), or Windows' own.
    static std::vector<std::filesystem::path> systemFonts();

private:
    struct Fonts;
    struct Glyph;
    // The glyph of `codePoint` rendered by the first font that has it; its bitmap stays valid
    // until the next call.
    Glyph render(char32_t codePoint);

    std::unique_ptr<Fonts> fonts_;
    int ascender_ = 0;
    int lineHeight_ = 0;
};

} // namespace cli
