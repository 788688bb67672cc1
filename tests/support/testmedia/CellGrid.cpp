#include "support/testmedia/CellGrid.h"

#include "support/testmedia/BgrImage.h"

#include <algorithm>
#include <cstdlib>

namespace testmedia {

namespace {

constexpr int dataBits = 16;
// Below this spread between white and black markers the picture carries no cells.
constexpr int minimumContrast = 64;

bool isMarkerRow(int row) {
    return row == 0 || row == CellGrid::rows - 1;
}

bool isWhiteMarker(int column, int row) {
    return (column % 2 == 0) == (row == 0);
}

int bitIndex(int column, int row) {
    return ((row - 1) % 2) * CellGrid::columns + column;
}

bool isInvertedRow(int row) {
    return row >= 3;
}

} // namespace

std::optional<CellGrid> CellGrid::forPicture(int width, int height) {
    if (width >= 512 && height >= 384)
        return CellGrid(16);
    for (int cell = 8; cell >= 1; cell /= 2)
        if (columns * cell <= width && rows * cell <= height)
            return CellGrid(cell);
    return std::nullopt;
}

bool CellGrid::isWhite(int column, int row, int number) const {
    if (isMarkerRow(row))
        return isWhiteMarker(column, row);
    const bool bit = (number >> bitIndex(column, row)) & 1;
    return bit != isInvertedRow(row);
}

void CellGrid::paint(BgrImage& picture, int number) const {
    const Bgr white{255, 255, 255};
    const Bgr black{0, 0, 0};
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            picture.fillRect(column * cell_, row * cell_, cell_, cell_,
                             isWhite(column, row, number) ? white : black);
}

int CellGrid::luma(const BgrView& picture, int column, int row) const {
    // The centre of the cell only: lossy codecs smear the edges.
    const int margin = cell_ / 4;
    const int side = cell_ - 2 * margin;
    int sum = 0;
    for (int y = row * cell_ + margin; y < row * cell_ + margin + side; ++y) {
        const std::uint8_t* p = picture.bytes + y * picture.stride + (column * cell_ + margin) * 3;
        for (int x = 0; x < side; ++x, p += 3)
            sum += (29 * p[0] + 150 * p[1] + 77 * p[2]) >> 8;
    }
    return sum / (side * side);
}

int CellGrid::read(const BgrView& picture) const {
    int whiteMin = 255;
    int blackMax = 0;
    for (const int row : {0, rows - 1})
        for (int column = 0; column < columns; ++column) {
            const int level = luma(picture, column, row);
            if (isWhiteMarker(column, row))
                whiteMin = std::min(whiteMin, level);
            else
                blackMax = std::max(blackMax, level);
        }
    if (whiteMin - blackMax < minimumContrast)
        return -1;

    const int threshold = (whiteMin + blackMax) / 2;
    const int doubtful = (whiteMin - blackMax) / 4;
    int number = 0;
    int inverted = 0;
    for (int row = 1; row < rows - 1; ++row)
        for (int column = 0; column < columns; ++column) {
            const int level = luma(picture, column, row);
            if (std::abs(level - threshold) < doubtful)
                return -1;
            const int bit = level > threshold ? 1 : 0;
            (isInvertedRow(row) ? inverted : number) |= bit << bitIndex(column, row);
        }
    return (number ^ inverted) == (1 << dataBits) - 1 ? number : -1;
}

} // namespace testmedia
