#pragma once

#include "core/BgrImage.h"
#include "core/PixelShape.h"

#include <string>
#include <string_view>

namespace cli {

class TextPainter;

// One page of a contact sheet: a header line, then columns x rows tiles in reading order, each
// with its caption centred under it, a thin margin around and between them.
class ContactSheet {
public:
    static constexpr int margin = 4;
    static constexpr std::uint32_t background = 0x202020;
    static constexpr std::uint32_t ink = 0xFFFFFF;

    // `header` and `captions` draw the text; a painter without a font leaves it out.
    ContactSheet(int columns, int rows, core::PixelShape::Size tile, TextPainter& header,
                 TextPainter& captions);

    void drawHeader(std::string_view text);
    // Puts `picture` at tile `index` (clipped to the tile) and `caption` under it.
    void place(int index, const core::BgrImage& picture, std::string_view caption);

    const core::BgrImage& picture() const { return sheet_; }
    // The top-left corner of tile `index`.
    struct Point {
        int x = 0;
        int y = 0;
    };
    Point tileCorner(int index) const;

private:
    int columns_;
    core::PixelShape::Size tile_;
    TextPainter& header_;
    TextPainter& captions_;
    int firstRow_; // where the tiles begin, under the header
    core::BgrImage sheet_;
};

} // namespace cli
