#include "framework/Frame3D.h"

#include "platform/Canvas.h"

#include <array>

namespace framework {

QRect frame3D(platform::Canvas& canvas, QRect rect, TColor topColor, TColor bottomColor,
              int width) {
    canvas.pen().setWidth(1);
    // Corners as the platform names them, right and bottom inclusive while drawing.
    int left = rect.x(), top = rect.y();
    int right = platform::gdiRight(rect) - 1, bottom = platform::gdiBottom(rect) - 1;
    for (; width > 0; --width) {
        canvas.pen().setColor(topColor);
        const std::array<QPoint, 3> topLeft{QPoint(left, bottom), QPoint(left, top),
                                            QPoint(right, top)};
        canvas.polyline(topLeft);
        canvas.pen().setColor(bottomColor);
        const std::array<QPoint, 3> bottomRight{QPoint(right, top), QPoint(right, bottom),
                                                QPoint(left - 1, bottom)};
        canvas.polyline(bottomRight);
        ++left;
        ++top;
        --right;
        --bottom;
    }
    return platform::gdiRect(left, top, right + 1, bottom + 1);
}

} // namespace framework
