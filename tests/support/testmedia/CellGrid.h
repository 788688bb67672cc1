#pragma once

// The frame number as black and white cells in the top-left corner of a picture:
//
//   row 0     marker cells, white where the column is even
//   rows 1-2  bits 0-15 of the number, white for 1
//   rows 3-4  the same bits inverted
//   row 5     marker cells, black where the column is even
//
// Cells are 8 pixels (16 on pictures of 512 x 384 and more) and start at the origin, so block
// codecs see each cell as whole blocks. Tiny pictures get smaller cells. The markers give the
// threshold and reject pictures that carry no cells (or are flipped); the inverted rows reject
// mangled ones.

#include <optional>

namespace testmedia {

class BgrImage;
struct BgrView;

class CellGrid {
public:
    static constexpr int columns = 8;
    static constexpr int rows = 6;
    static constexpr int largestNumber = 0xFFFF;

    // Nothing when the picture is smaller than 8 x 6 pixels.
    static std::optional<CellGrid> forPicture(int width, int height);

    int cellSize() const { return cell_; }
    void paint(BgrImage& picture, int number) const;
    // -1 unless the picture carries a well-formed number.
    int read(const BgrView& picture) const;

private:
    explicit CellGrid(int cell) : cell_(cell) {}
    bool isWhite(int column, int row, int number) const;
    int luma(const BgrView& picture, int column, int row) const;

    int cell_;
};

} // namespace testmedia
