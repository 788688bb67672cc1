#include "cli/TextPainter.h"

#include "core/BgrImage.h"

#include <algorithm>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace cli {

namespace {

struct LibraryDone {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceDone {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using LibraryPtr = std::unique_ptr<std::remove_pointer_t<FT_Library>, LibraryDone>;
using FacePtr = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceDone>;

constexpr char32_t replacement = 0xFFFD;

// The code point at the start of `text`, which it then leaves; U+FFFD for a byte that starts
// none.
char32_t takeCodePoint(std::string_view& text) {
    const auto lead = static_cast<unsigned char>(text.front());
    const int trail = lead < 0x80           ? 0
                      : (lead >> 5) == 0x6  ? 1
                      : (lead >> 4) == 0xE  ? 2
                      : (lead >> 3) == 0x1E ? 3
                                            : -1;
    if (trail < 0 || text.size() <= static_cast<std::size_t>(trail)) {
        text.remove_prefix(1);
        return lead < 0x80 ? lead : replacement;
    }
    char32_t code = trail == 0 ? lead : lead & (0x3F >> trail);
    for (int i = 1; i <= trail; ++i) {
        const auto next = static_cast<unsigned char>(text[static_cast<std::size_t>(i)]);
        if ((next & 0xC0) != 0x80) {
            text.remove_prefix(1);
            return replacement;
        }
        code = code << 6 | (next & 0x3F);
    }
    text.remove_prefix(static_cast<std::size_t>(trail) + 1);
    return code;
}

// Coverage `alpha` (0 to 255) of `colour` over the byte `under`.
std::uint8_t blend(std::uint8_t under, std::uint32_t colour, int alpha) {
    return static_cast<std::uint8_t>(
        (under * (255 - alpha) + static_cast<int>(colour) * alpha + 127) / 255);
}

} // namespace

struct TextPainter::Fonts {
    LibraryPtr library;
    std::vector<FacePtr> faces;
};

struct TextPainter::Glyph {
    const FT_GlyphSlotRec* slot = nullptr; // null: no font has it and none has U+FFFD
};

TextPainter::TextPainter(int pixelSize, const std::vector<std::filesystem::path>& fontFiles)
    : fonts_(std::make_unique<Fonts>()) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return;
    fonts_->library.reset(library);
    for (const std::filesystem::path& file : fontFiles) {
        FT_Face face = nullptr;
        if (FT_New_Face(library, file.string().c_str(), 0, &face) != 0)
            continue;
        FacePtr owned(face);
        if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) == 0)
            fonts_->faces.push_back(std::move(owned));
    }
    if (fonts_->faces.empty())
        return;
    const FT_Size_Metrics& metrics = fonts_->faces.front()->size->metrics;
    ascender_ = static_cast<int>((metrics.ascender + 63) >> 6);
    lineHeight_ = ascender_ + static_cast<int>((-metrics.descender + 63) >> 6);
}

TextPainter::~TextPainter() = default;

bool TextPainter::hasFont() const {
    return !fonts_->faces.empty();
}

TextPainter::Glyph TextPainter::render(char32_t codePoint) {
    for (const char32_t wanted : {codePoint, replacement})
        for (const FacePtr& face : fonts_->faces)
            if (const FT_UInt index = FT_Get_Char_Index(face.get(), wanted);
                index != 0 &&
                FT_Load_Glyph(face.get(), index, FT_LOAD_RENDER | FT_LOAD_NO_BITMAP) == 0)
                return {face->glyph};
    return {};
}

int TextPainter::width(std::string_view utf8) {
    int width = 0;
    while (!utf8.empty())
        if (const Glyph glyph = render(takeCodePoint(utf8)); glyph.slot)
            width += static_cast<int>((glyph.slot->advance.x + 32) >> 6);
    return width;
}

void TextPainter::draw(core::BgrImage& image, int x, int y, int right, std::string_view utf8,
                       std::uint32_t colour) {
    right = std::min(right, image.width);
    const std::uint32_t channels[3] = {colour & 0xFF, colour >> 8 & 0xFF, colour >> 16 & 0xFF};
    const int baseline = y + ascender_;
    while (!utf8.empty() && x < right) {
        const Glyph glyph = render(takeCodePoint(utf8));
        if (!glyph.slot)
            continue;
        const FT_Bitmap& bitmap = glyph.slot->bitmap;
        const int left = x + glyph.slot->bitmap_left;
        const int top = baseline - glyph.slot->bitmap_top;
        for (int row = 0; row < static_cast<int>(bitmap.rows); ++row) {
            const int py = top + row;
            if (py < 0 || py >= image.height)
                continue;
            const unsigned char* coverage = bitmap.buffer + row * bitmap.pitch;
            std::uint8_t* pixels = image.row(py);
            for (int column = 0; column < static_cast<int>(bitmap.width); ++column) {
                const int px = left + column;
                if (px < 0 || px >= right || coverage[column] == 0)
                    continue;
                for (int c = 0; c < 3; ++c)
                    pixels[px * 3 + c] = blend(pixels[px * 3 + c], channels[c], coverage[column]);
            }
        }
        x += static_cast<int>((glyph.slot->advance.x + 32) >> 6);
    }
}

std::vector<std::filesystem::path> TextPainter::systemFonts() {
#ifdef _WIN32
    return {"C:/Windows/Fonts/segoeui.ttf", "C:/Windows/Fonts/arial.ttf",
            "C:/Windows/Fonts/msgothic.ttc"};
#else
    return {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
            "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf"};
#endif
}

} // namespace cli
