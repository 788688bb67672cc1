#pragma once

#include "platform/Colors.h"

#include <QRect>

namespace platform {
class Canvas;
}

namespace framework {

// The class library's 3-D frame: width nested one-pixel outlines, the top and left edges in
// topColor and the bottom and right edges in bottomColor. Returns the rectangle inside them.
QRect frame3D(platform::Canvas& canvas, QRect rect, TColor topColor, TColor bottomColor, int width);

} // namespace framework
