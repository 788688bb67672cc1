#include "cli/ContactSheet.h"

#include "cli/TextPainter.h"

#include <algorithm>
#include <cstring>

namespace cli {

namespace {

void fill(core::BgrImage& image, std::uint32_t colour) {
    for (int y = 0; y < image.height; ++y) {
        std::uint8_t* pixel = image.row(y);
        for (int x = 0; x < image.width; ++x, pixel += 3) {
            pixel[0] = static_cast<std::uint8_t>(colour);
            pixel[1] = static_cast<std::uint8_t>(colour >> 8);
            pixel[2] = static_cast<std::uint8_t>(colour >> 16);
        }
    }
}

} // namespace

ContactSheet::ContactSheet(int columns, int rows, core::PixelShape::Size tile, TextPainter& header,
                           TextPainter& captions)
    : columns_(columns), tile_(tile), header_(header), captions_(captions),
      firstRow_(margin + (header.hasFont() ? header.lineHeight() + margin : 0)) {
    const int rowHeight = tile.height + captions.lineHeight() + margin;
    sheet_ = core::BgrImage::blank(columns * (tile.width + margin) + margin,
                                   firstRow_ + rows * rowHeight);
    fill(sheet_, background);
}

ContactSheet::Point ContactSheet::tileCorner(int index) const {
    const int rowHeight = tile_.height + captions_.lineHeight() + margin;
    return {margin + index % columns_ * (tile_.width + margin),
            firstRow_ + index / columns_ * rowHeight};
}

void ContactSheet::drawHeader(std::string_view text) {
    header_.draw(sheet_, margin, margin, sheet_.width - margin, text, ink);
}

void ContactSheet::place(int index, const core::BgrImage& picture, std::string_view caption) {
    const Point corner = tileCorner(index);
    const int width = std::min(picture.width, tile_.width);
    for (int y = 0; y < std::min(picture.height, tile_.height); ++y)
        std::memcpy(sheet_.row(corner.y + y) + corner.x * 3, picture.row(y),
                    static_cast<std::size_t>(width) * 3);
    const int right = corner.x + tile_.width;
    const int textLeft = corner.x + std::max(0, (tile_.width - captions_.width(caption)) / 2);
    captions_.draw(sheet_, textLeft, corner.y + tile_.height, right, caption, ink);
}

} // namespace cli
