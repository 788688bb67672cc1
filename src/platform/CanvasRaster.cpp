#include "platform/CanvasRaster.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace platform::raster {
namespace {

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    if (b < 0) {
        a = -a;
        b = -b;
    }
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

std::int64_t ceilDiv(std::int64_t a, std::int64_t b) {
    return -floorDiv(-a, b);
}

// Nearest integer to num / den (den > 0), an exact half going to the smaller one.
int nearestTiesDown(std::int64_t num, std::int64_t den) {
    return int(ceilDiv(2 * num - den, 2 * den));
}

constexpr int kMaxEllipse = 16384;

} // namespace

std::vector<QPoint> linePixels(QPoint a, QPoint b) {
    const int dx = b.x() - a.x();
    const int dy = b.y() - a.y();
    const int adx = std::abs(dx);
    const int ady = std::abs(dy);
    std::vector<QPoint> pixels;
    if (adx >= ady) {
        pixels.reserve(std::size_t(adx));
        const int sx = dx < 0 ? -1 : 1;
        for (int i = 0; i < adx; ++i)
            pixels.emplace_back(a.x() + i * sx, a.y() + nearestTiesDown(std::int64_t(i) * dy, adx));
    } else {
        pixels.reserve(std::size_t(ady));
        const int sy = dy < 0 ? -1 : 1;
        for (int i = 0; i < ady; ++i)
            pixels.emplace_back(a.x() + nearestTiesDown(std::int64_t(i) * dx, ady), a.y() + i * sy);
    }
    return pixels;
}

std::vector<QPoint> ellipseQuadrant(int width, int height) {
    width = std::clamp(width, 1, kMaxEllipse);
    height = std::clamp(height, 1, kMaxEllipse);
    // Doubled coordinates around the box centre keep even sizes (a centre between pixels) exact:
    // X = 2 * x - (width - 1), Y = 2 * y - (height - 1); the curve is b²X² + a²Y² = a²b².
    const std::int64_t a = width - 1;
    const std::int64_t b = height - 1;
    const std::int64_t a2 = a * a;
    const std::int64_t b2 = b * b;
    const auto f = [&](std::int64_t x, std::int64_t y) {
        return b2 * x * x + a2 * y * y - a2 * b2;
    };
    const auto pixel = [&](std::int64_t x, std::int64_t y) {
        return QPoint(int((a + x) / 2), int((b + y) / 2));
    };

    std::int64_t x = a % 2;
    std::int64_t y = b;
    const std::int64_t lastY = b % 2;
    std::vector<QPoint> points{pixel(x, y)};
    // Walk from the bottom to the right end, each step to the neighbour nearest the curve:
    // across when the curve at the next column passes below the midpoint between the rows,
    // up when at the next row it passes left of the midpoint between the columns, else
    // diagonally. A midpoint exactly on the curve takes the pixel nearer the centre.
    while (x < a || y > lastY) {
        if (y == lastY) {
            x += 2;
        } else if (x == a) {
            y -= 2;
        } else if (f(x + 2, y - 1) < 0) {
            x += 2;
        } else if (f(x + 1, y - 2) >= 0) {
            y -= 2;
        } else {
            x += 2;
            y -= 2;
        }
        points.push_back(pixel(x, y));
    }
    return points;
}

std::vector<QPoint> roundRectOutline(int left, int top, int right, int bottom, int ellipseWidth,
                                     int ellipseHeight) {
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    if (left == right || top == bottom)
        return {};
    const int w = std::min(std::abs(ellipseWidth), right - left);
    const int h = std::min(std::abs(ellipseHeight), bottom - top);
    if (w <= 2 || h <= 2)
        return {QPoint(left, top), QPoint(right - 1, top), QPoint(right - 1, bottom - 1),
                QPoint(left, bottom - 1)};

    // The lower-right arc placed in its corner, then mirrored into the other three.
    std::vector<QPoint> lowerRight = ellipseQuadrant(w, h);
    for (QPoint& p : lowerRight)
        p += QPoint(right - w, bottom - h);
    const auto mirrorX = [&](QPoint p) { return QPoint(left + right - 1 - p.x(), p.y()); };
    const auto mirrorY = [&](QPoint p) { return QPoint(p.x(), top + bottom - 1 - p.y()); };

    std::vector<QPoint> outline;
    outline.reserve(lowerRight.size() * 4);
    // Clockwise: upper-right (top to right), lower-right (right to bottom), lower-left (bottom
    // to left), upper-left (left to top); the straight sides join the arcs.
    for (const QPoint& p : lowerRight)
        outline.push_back(mirrorY(p));
    for (auto it = lowerRight.rbegin(); it != lowerRight.rend(); ++it)
        outline.push_back(*it);
    for (const QPoint& p : lowerRight)
        outline.push_back(mirrorX(p));
    for (auto it = lowerRight.rbegin(); it != lowerRight.rend(); ++it)
        outline.push_back(mirrorX(mirrorY(*it)));
    return outline;
}

std::vector<QPoint> ellipseOutline(int left, int top, int right, int bottom) {
    return roundRectOutline(left, top, right, bottom, std::abs(right - left),
                            std::abs(bottom - top));
}

std::vector<Span> polygonSpans(std::span<const QPoint> points, FillMode mode) {
    struct Edge {
        QPoint from;
        QPoint to;
        int direction;
    };
    std::vector<Edge> edges;
    int minY = 0;
    int maxY = 0;
    bool first = true;
    for (std::size_t i = 0; i < points.size(); ++i) {
        QPoint from = points[i];
        QPoint to = points[(i + 1) % points.size()];
        if (from.y() == to.y())
            continue;
        const int direction = to.y() > from.y() ? 1 : -1;
        if (direction < 0)
            std::swap(from, to);
        edges.push_back({from, to, direction});
        minY = first ? from.y() : std::min(minY, from.y());
        maxY = first ? to.y() : std::max(maxY, to.y());
        first = false;
    }

    std::vector<Span> spans;
    struct Crossing {
        int x;
        int direction;
    };
    std::vector<Crossing> crossings;
    for (int y = minY; y < maxY; ++y) {
        crossings.clear();
        for (const Edge& e : edges) {
            if (y < e.from.y() || y >= e.to.y())
                continue;
            // The first pixel at or right of the exact crossing.
            const std::int64_t dy = e.to.y() - e.from.y();
            const std::int64_t num = std::int64_t(e.from.x()) * dy +
                                     std::int64_t(y - e.from.y()) * (e.to.x() - e.from.x());
            crossings.push_back({int(ceilDiv(num, dy)), e.direction});
        }
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
        int winding = 0;
        for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += mode == FillMode::Alternate ? 1 : crossings[i].direction;
            const bool inside = mode == FillMode::Alternate ? (winding % 2) != 0 : winding != 0;
            if (inside && crossings[i].x < crossings[i + 1].x)
                spans.push_back({y, crossings[i].x, crossings[i + 1].x});
        }
    }
    return spans;
}

} // namespace platform::raster
