#include "controls/DrawTriangle.h"

#include "platform/Canvas.h"

namespace {

constexpr int kSmallest = 2;
constexpr int kLargest = 15;

// Pixels first to last on row y, both included.
void drawRun(platform::Canvas& canvas, int y, int first, int last) {
    canvas.moveTo(first, y);
    canvas.lineTo(last + 1, y);
}

void drawArrow(platform::Canvas& canvas, int x, int y, int size, TColor color, bool down) {
    TPen& pen = canvas.pen();
    pen.setColor(color);
    pen.setWidth(1);
    pen.setStyle(psSolid);
    if (!down) {
        const int tip = x + size / 2;
        for (int row = 0; row < size; ++row)
            drawRun(canvas, y + row, tip - row, tip + row);
        return;
    }
    for (int row = 0; row < size - 1; ++row)
        drawRun(canvas, y + row, x + row, x + 2 * size - row - 2);
    drawRun(canvas, y + size - 1, x + size - 1, x + size - 1);
}

} // namespace

void DrawTriangle(platform::Canvas& canvas, int x, int y, int size, TColor color, bool down,
                  bool enabled) {
    if (size < kSmallest || size > kLargest)
        return;
    if (enabled) {
        drawArrow(canvas, x, y, size, color, down);
        return;
    }
    drawArrow(canvas, x + 1, y + 1, size, clHighlightText, down);
    drawArrow(canvas, x, y, size, clGrayText, down);
}
