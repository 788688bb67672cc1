#pragma once

#include "platform/CanvasTypes.h"

#include <QPoint>
#include <cstdint>
#include <span>
#include <vector>

// The pixel rules of the platform's drawing, as pure functions over integer coordinates.
namespace platform::raster {

// The pixels of a one-pixel line from a to b, a included, b left out. One pixel per column
// for lines wider than tall, one per row otherwise; a line passing exactly between two pixels
// takes the upper one (between vertical neighbours) or the left one (between horizontal ones),
// so a line and its reverse light the same pixels apart from their ends.
std::vector<QPoint> linePixels(QPoint a, QPoint b);

// The lower-right quarter of the ellipse inscribed in a width x height pixel box at (0, 0):
// pixels from the bottom row (x = width / 2, y = height - 1) to the right column
// (x = width - 1, y = height / 2), each the neighbour of the last nearest the curve by the
// midpoint rule, 8-connected.
std::vector<QPoint> ellipseQuadrant(int width, int height);

// The closed outline of RoundRect(left, top, right, bottom, w, h) as a point list, each point
// joined to the next (and the last to the first) by a line: the corner arcs pixel by pixel,
// the straight sides between them. The corner ellipses are limited to the rectangle's size;
// at 2 pixels or less the corners are square. Empty for an empty rectangle.
std::vector<QPoint> roundRectOutline(int left, int top, int right, int bottom, int ellipseWidth,
                                     int ellipseHeight);
// The closed outline of Ellipse(left, top, right, bottom).
std::vector<QPoint> ellipseOutline(int left, int top, int right, int bottom);

// One run of pixels on row y, x0 included, x1 left out.
struct Span {
    int y;
    int x0;
    int x1;
};

// The pixels inside a polygon: a pixel is inside when its own point (x, y) is, counting points
// on a left or top edge in and points on a right or bottom edge out.
std::vector<Span> polygonSpans(std::span<const QPoint> points, FillMode mode);

// The raster operation with truth table `table` applied bitwise: bit (p << 2 | s << 1 | d).
constexpr std::uint32_t rop3(std::uint8_t table, std::uint32_t p, std::uint32_t s,
                             std::uint32_t d) {
    std::uint32_t result = 0;
    for (int i = 0; i < 8; ++i) {
        if (!((table >> i) & 1))
            continue;
        const std::uint32_t pm = (i & 4) ? p : ~p;
        const std::uint32_t sm = (i & 2) ? s : ~s;
        const std::uint32_t dm = (i & 1) ? d : ~d;
        result |= pm & sm & dm;
    }
    return result;
}

constexpr std::uint8_t ropTable(std::uint32_t rop) {
    return std::uint8_t((rop >> 16) & 0xFF);
}
constexpr bool ropUsesSource(std::uint8_t t) {
    return ((t >> 2) & 0x33) != (t & 0x33);
}
constexpr bool ropUsesPattern(std::uint8_t t) {
    return ((t >> 4) & 0x0F) != (t & 0x0F);
}

// The binary raster operation R2_* (1..16) of pen or brush p over destination d.
constexpr std::uint32_t rop2(int code, std::uint32_t p, std::uint32_t d) {
    const int table = (code - 1) & 0xF;
    std::uint32_t result = 0;
    for (int i = 0; i < 4; ++i) {
        if (!((table >> i) & 1))
            continue;
        result |= ((i & 2) ? p : ~p) & ((i & 1) ? d : ~d);
    }
    return result;
}

// The source index that destination index d of a run stretched from srcLength to destLength
// pixels takes: the source pixel under the destination pixel's centre.
constexpr int stretchSourceIndex(int d, int srcLength, int destLength) {
    return int((std::int64_t(2 * d + 1) * srcLength) / (std::int64_t(2) * destLength));
}

} // namespace platform::raster
