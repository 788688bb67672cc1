#include "framework/Bevel.h"

#include "platform/Canvas.h"

#include <array>

namespace {

// An outline as two polylines: bottom-left, top-left, top-right in the first colour; top-right,
// bottom-right, bottom-left in the second. Each polyline leaves out its last point.
void bevelRect(platform::Canvas& canvas, int left, int top, int right, int bottom, TColor first,
               TColor second) {
    canvas.pen().setColor(first);
    const std::array<QPoint, 3> upper{QPoint(left, bottom), QPoint(left, top), QPoint(right, top)};
    canvas.polyline(upper);
    canvas.pen().setColor(second);
    const std::array<QPoint, 3> lower{QPoint(right, top), QPoint(right, bottom),
                                      QPoint(left, bottom)};
    canvas.polyline(lower);
}

void bevelLine(platform::Canvas& canvas, TColor color, int x1, int y1, int x2, int y2) {
    canvas.pen().setColor(color);
    canvas.moveTo(x1, y1);
    canvas.lineTo(x2, y2);
}

} // namespace

TBevel::TBevel(QWidget* parent) : TGraphicControl(parent) {
    resize(50, 50);
}

void TBevel::setShape(TBevelShape shape) {
    if (shape == shape_)
        return;
    shape_ = shape;
    Invalidate();
}

void TBevel::setStyle(TBevelStyle style) {
    if (style == style_)
        return;
    style_ = style;
    Invalidate();
}

void TBevel::Paint(platform::Canvas& canvas) {
    canvas.pen().setWidth(1);
    // Top-left and bottom-right colours.
    const TColor first = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
    const TColor second = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
    const int w = Width(), h = Height();
    switch (shape_) {
    case bsBox:
        bevelRect(canvas, 0, 0, w - 1, h - 1, first, second);
        break;
    case bsFrame:
        // The inner outline entirely in the second colour, the outer one in the first.
        bevelRect(canvas, 1, 1, w - 1, h - 1, second, second);
        bevelRect(canvas, 0, 0, w - 2, h - 2, first, first);
        break;
    case bsTopLine:
        bevelLine(canvas, first, 0, 0, w, 0);
        bevelLine(canvas, second, 0, 1, w, 1);
        break;
    case bsBottomLine:
        bevelLine(canvas, first, 0, h - 2, w, h - 2);
        bevelLine(canvas, second, 0, h - 1, w, h - 1);
        break;
    case bsLeftLine:
        bevelLine(canvas, first, 0, 0, 0, h);
        bevelLine(canvas, second, 1, 0, 1, h);
        break;
    case bsRightLine:
        bevelLine(canvas, first, w - 2, 0, w - 2, h);
        bevelLine(canvas, second, w - 1, 0, w - 1, h);
        break;
    case bsSpacer:
        break;
    }
}
