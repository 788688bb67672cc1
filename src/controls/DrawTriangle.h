#pragma once

#include "platform/Colors.h"

namespace platform {
class Canvas;
}

// A small solid arrow of `size` rows (2..15; anything else draws nothing) with its bounding box
// starting at (x, y). Up arrows widen downwards from a one-pixel tip at (x + size / 2, y); down
// arrows narrow from 2 * size - 1 pixels to a tip at (x + size - 1, y + size - 1). A disabled
// arrow is embossed: a highlight copy one pixel right and down, then the arrow in grey text.
void DrawTriangle(platform::Canvas& canvas, int x, int y, int size, TColor color, bool down,
                  bool enabled);
