#include "platform/Canvas.h"

#include "platform/CanvasFontCache.h"
#include "platform/CanvasRaster.h"

#include <QFont>
#include <QFontMetrics>
#include <algorithm>
#include <array>
#include <cstdlib>

namespace platform {
namespace {

std::uint32_t deviceRgb(TColor color) {
    return swapRedBlue(colorToRgb(color));
}

constexpr std::array<std::array<std::uint8_t, 8>, 6> kHatches = {{
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF}, // horizontal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08}, // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}, // forward diagonal
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}, // backward diagonal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0xFF}, // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}, // diagonal cross
}};

struct DashPattern {
    std::array<int, 6> runs;
    int count;
};

DashPattern dashPattern(TPenStyle style) {
    switch (style) {
    case psDash:
        return {{18, 6}, 2};
    case psDot:
        return {{3, 3}, 2};
    case psDashDot:
        return {{9, 6, 3, 6}, 4};
    case psDashDotDot:
        return {{9, 3, 3, 3, 3, 3}, 6};
    default:
        return {{1}, 1};
    }
}

constexpr std::array<int, 16> kRop2OfPenMode = {1,  16, 11, 6, 13, 4, 14, 5,
                                                12, 3,  15, 2, 9,  8, 7,  10};
constexpr int R2_COPYPEN = 13;

int positiveMod(int v, int m) {
    const int r = v % m;
    return r < 0 ? r + m : r;
}

} // namespace

Canvas::Canvas(QImage& target) : m_image(target) {
    switch (m_image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
        break;
    default:
        if (!m_image.isNull())
            m_image = m_image.convertToFormat(QImage::Format_RGB32);
    }
    m_textColor = m_font.color();
    m_bkColor = m_brush.color();
    m_brush.onChange = [this] { onBrushChanged(); };
    m_font.onChange = [this] { onFontChanged(); };
    updateEffectiveClip();
}

Canvas::~Canvas() = default;

void Canvas::setClipRect(const QRect& deviceRect) {
    m_clip = deviceRect;
    m_hasClip = true;
    updateEffectiveClip();
}

void Canvas::intersectClipRect(const QRect& logicalRect) {
    const QRect device = logicalRect.translated(m_origin);
    m_clip = (m_hasClip ? m_clip : m_image.rect()) & device;
    m_hasClip = true;
    updateEffectiveClip();
}

void Canvas::resetClip() {
    m_hasClip = false;
    updateEffectiveClip();
}

QRect Canvas::clipRect() const {
    return m_effectiveClip;
}

void Canvas::updateEffectiveClip() {
    m_effectiveClip = m_hasClip ? (m_clip.normalized() & m_image.rect()) : m_image.rect();
    if (m_hasClip && (m_clip.width() <= 0 || m_clip.height() <= 0))
        m_effectiveClip = QRect();
}

void Canvas::onBrushChanged() {
    if (m_brush.bitmap().isNull() && m_brush.style() == bsSolid) {
        m_bkColor = m_brush.color();
        m_bkMode = BkMode::Opaque;
    } else {
        m_bkColor = TColor(~colorToRgb(m_brush.color()) & 0xFFFFFF);
        m_bkMode = BkMode::Transparent;
    }
}

void Canvas::onFontChanged() {
    m_textColor = m_font.color();
    m_fontCache.reset();
}

std::uint32_t Canvas::readDevice(int x, int y) const {
    const uchar* line = m_image.constScanLine(y);
    switch (m_image.format()) {
    case QImage::Format_RGB888: {
        const uchar* p = line + 3 * x;
        return (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
    }
    case QImage::Format_BGR888: {
        const uchar* p = line + 3 * x;
        return (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
    }
    default:
        return reinterpret_cast<const QRgb*>(line)[x] & 0xFFFFFF;
    }
}

void Canvas::writeDevice(int x, int y, std::uint32_t rgb) {
    uchar* line = m_image.scanLine(y);
    switch (m_image.format()) {
    case QImage::Format_RGB888: {
        uchar* p = line + 3 * x;
        p[0] = uchar(rgb >> 16);
        p[1] = uchar(rgb >> 8);
        p[2] = uchar(rgb);
        break;
    }
    case QImage::Format_BGR888: {
        uchar* p = line + 3 * x;
        p[0] = uchar(rgb);
        p[1] = uchar(rgb >> 8);
        p[2] = uchar(rgb >> 16);
        break;
    }
    default:
        reinterpret_cast<QRgb*>(line)[x] = 0xFF000000u | (rgb & 0xFFFFFF);
    }
}

TColor Canvas::pixel(int x, int y) const {
    const QPoint d = toDevice(x, y);
    if (!inClip(d.x(), d.y()))
        return CLR_INVALID;
    return TColor(swapRedBlue(readDevice(d.x(), d.y())));
}

void Canvas::setPixel(int x, int y, TColor color) {
    const QPoint d = toDevice(x, y);
    if (inClip(d.x(), d.y()))
        writeDevice(d.x(), d.y(), deviceRgb(color));
}

// ---- brush and pen -------------------------------------------------------------------------

bool Canvas::brushPixel(int x, int y, bool forBlit, std::uint32_t& rgb) const {
    const QImage& pattern = m_brush.bitmap();
    if (!pattern.isNull()) {
        const int px = positiveMod(x, pattern.width());
        const int py = positiveMod(y, pattern.height());
        if (pattern.format() == QImage::Format_Mono || pattern.format() == QImage::Format_MonoLSB)
            rgb = deviceRgb(pattern.pixelIndex(px, py) == 0 ? m_textColor : m_bkColor);
        else
            rgb = pattern.pixel(px, py) & 0xFFFFFF;
        return true;
    }
    switch (m_brush.style()) {
    case bsSolid:
        rgb = deviceRgb(m_brush.color());
        return true;
    case bsClear:
        return false;
    default: {
        const auto& hatch = kHatches[std::size_t(m_brush.style() - bsHorizontal)];
        if (hatch[std::size_t(positiveMod(y, 8))] & (0x80 >> positiveMod(x, 8))) {
            rgb = deviceRgb(m_brush.color());
            return true;
        }
        if (forBlit || m_bkMode == BkMode::Opaque) {
            rgb = deviceRgb(m_bkColor);
            return true;
        }
        return false;
    }
    }
}

// Device row y from x0 to x1 (excluded), clipped, mixed with rop2.
void Canvas::fillSpan(int y, int x0, int x1, int rop2) {
    if (y < m_effectiveClip.top() || y > m_effectiveClip.bottom())
        return;
    x0 = std::max(x0, m_effectiveClip.left());
    x1 = std::min(x1, m_effectiveClip.right() + 1);
    if (m_brush.bitmap().isNull() && m_brush.style() == bsSolid && rop2 == R2_COPYPEN) {
        const std::uint32_t color = deviceRgb(m_brush.color());
        for (int x = x0; x < x1; ++x)
            writeDevice(x, y, color);
        return;
    }
    for (int x = x0; x < x1; ++x) {
        std::uint32_t b = 0;
        if (!brushPixel(x, y, false, b))
            continue;
        writeDevice(x, y, rop2 == R2_COPYPEN ? b : raster::rop2(rop2, b, readDevice(x, y)));
    }
}

void Canvas::fillDeviceRectSolid(const QRect& deviceRect, std::uint32_t rgb) {
    const QRect r = deviceRect & m_effectiveClip;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            writeDevice(x, y, rgb);
}

int Canvas::penRop2() const {
    return kRop2OfPenMode[std::size_t(m_pen.mode())];
}

void Canvas::plotPen(int x, int y, std::uint32_t rgb, int rop2) {
    if (!inClip(x, y))
        return;
    writeDevice(x, y, rop2 == R2_COPYPEN ? rgb : raster::rop2(rop2, rgb, readDevice(x, y)));
}

std::vector<QPoint> Canvas::pathPixels(std::span<const QPoint> points, bool closed) const {
    std::vector<QPoint> pixels;
    const std::size_t n = points.size();
    const std::size_t segments = closed ? n : (n == 0 ? 0 : n - 1);
    for (std::size_t i = 0; i < segments; ++i) {
        const auto line = raster::linePixels(points[i], points[(i + 1) % n]);
        pixels.insert(pixels.end(), line.begin(), line.end());
    }
    return pixels;
}

void Canvas::strokePixels(const std::vector<QPoint>& logicalPixels) {
    if (m_pen.style() == psClear)
        return;
    const int rop2 = penRop2();
    const std::uint32_t color = deviceRgb(m_pen.color());
    const int width = m_pen.width();
    if (width > 1) {
        // Wide pens: a round pen swept along the path, each pixel mixed once.
        std::vector<QPoint> covered;
        const int lo = -(width / 2);
        const int hi = (width - 1) / 2;
        const int limit = (width * width + 2) / 4;
        for (const QPoint& p : logicalPixels)
            for (int dy = lo; dy <= hi; ++dy)
                for (int dx = lo; dx <= hi; ++dx)
                    if (dx * dx + dy * dy <= limit)
                        covered.push_back(p + QPoint(dx, dy));
        std::sort(covered.begin(), covered.end(), [](QPoint a, QPoint b) {
            return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
        });
        covered.erase(std::unique(covered.begin(), covered.end()), covered.end());
        for (const QPoint& p : covered) {
            const QPoint d = p + m_origin;
            plotPen(d.x(), d.y(), color, rop2);
        }
        return;
    }
    const DashPattern dash = dashPattern(m_pen.style());
    int run = 0;
    int left = dash.runs[0];
    for (const QPoint& p : logicalPixels) {
        const QPoint d = p + m_origin;
        if (run % 2 == 0)
            plotPen(d.x(), d.y(), color, rop2);
        else if (m_bkMode == BkMode::Opaque)
            plotPen(d.x(), d.y(), deviceRgb(m_bkColor), rop2);
        if (dash.count > 1 && --left == 0) {
            run = (run + 1) % dash.count;
            left = dash.runs[std::size_t(run)];
        }
    }
}

void Canvas::strokePath(std::span<const QPoint> points, bool closed) {
    std::vector<QPoint> pixels = pathPixels(points, closed);
    if (closed && m_pen.style() != psDash && m_pen.style() != psDot && m_pen.style() != psDashDot &&
        m_pen.style() != psDashDotDot) {
        // A closed figure mixes each outline pixel once, however its sides meet.
        std::sort(pixels.begin(), pixels.end(), [](QPoint a, QPoint b) {
            return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
        });
        pixels.erase(std::unique(pixels.begin(), pixels.end()), pixels.end());
    }
    strokePixels(pixels);
}

// ---- lines and shapes ----------------------------------------------------------------------

void Canvas::moveTo(int x, int y) {
    m_penPos = QPoint(x, y);
}

void Canvas::lineTo(int x, int y) {
    const std::array<QPoint, 2> points = {m_penPos, QPoint(x, y)};
    strokePath(points, false);
    m_penPos = QPoint(x, y);
}

void Canvas::polyline(std::span<const QPoint> points) {
    strokePath(points, false);
}

void Canvas::fillRect(const QRect& rect) {
    if (rect.width() == 0 || rect.height() == 0)
        return;
    const QRect r = rect.normalized().translated(m_origin);
    for (int y = r.top(); y <= r.bottom(); ++y)
        fillSpan(y, r.left(), r.right() + 1, R2_COPYPEN);
}

void Canvas::frameRect(const QRect& rect) {
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    const QRect d = rect.translated(m_origin);
    fillSpan(d.top(), d.left(), d.right() + 1, R2_COPYPEN);
    if (d.height() > 1)
        fillSpan(d.bottom(), d.left(), d.right() + 1, R2_COPYPEN);
    for (int y = d.top() + 1; y < d.bottom(); ++y) {
        fillSpan(y, d.left(), d.left() + 1, R2_COPYPEN);
        if (d.width() > 1)
            fillSpan(y, d.right(), d.right() + 1, R2_COPYPEN);
    }
}

void Canvas::fillAndStroke(const std::vector<QPoint>& outline) {
    if (outline.empty())
        return;
    const bool pen = m_pen.style() != psClear;
    if (!m_brush.isClear()) {
        const auto spans = raster::polygonSpans(outline, m_fillMode);
        std::vector<QPoint> edge;
        if (pen) {
            edge = pathPixels(outline, true);
            std::sort(edge.begin(), edge.end(), [](QPoint a, QPoint b) {
                return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
            });
        }
        const int rop2 = penRop2();
        for (const raster::Span& s : spans) {
            // Interior pixels only: the outline is the pen's.
            int x = s.x0;
            while (x < s.x1) {
                int end = s.x1;
                if (pen) {
                    auto it = std::lower_bound(
                        edge.begin(), edge.end(), QPoint(x, s.y), [](QPoint a, QPoint b) {
                            return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
                        });
                    if (it != edge.end() && it->y() == s.y && it->x() == x) {
                        ++x;
                        continue;
                    }
                    if (it != edge.end() && it->y() == s.y)
                        end = std::min(end, it->x());
                }
                fillSpan(s.y + m_origin.y(), x + m_origin.x(), end + m_origin.x(), rop2);
                x = end;
            }
        }
    }
    if (pen)
        strokePath(outline, true);
}

void Canvas::rectangle(int left, int top, int right, int bottom) {
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    if (left == right || top == bottom)
        return;
    const bool pen = m_pen.style() != psClear;
    if (!m_brush.isClear()) {
        const QRect interior = pen ? gdiRect(left + 1, top + 1, right - 1, bottom - 1)
                                   : gdiRect(left, top, right - 1, bottom - 1);
        const int rop2 = penRop2();
        for (int y = interior.top(); y <= interior.bottom(); ++y)
            fillSpan(y + m_origin.y(), interior.left() + m_origin.x(),
                     interior.right() + 1 + m_origin.x(), rop2);
    }
    if (pen) {
        const std::array<QPoint, 4> corners = {QPoint(left, top), QPoint(right - 1, top),
                                               QPoint(right - 1, bottom - 1),
                                               QPoint(left, bottom - 1)};
        strokePath(corners, true);
    }
}

void Canvas::roundRect(int left, int top, int right, int bottom, int ellipseWidth,
                       int ellipseHeight) {
    fillAndStroke(raster::roundRectOutline(left, top, right, bottom, ellipseWidth, ellipseHeight));
}

void Canvas::ellipse(int left, int top, int right, int bottom) {
    fillAndStroke(raster::ellipseOutline(left, top, right, bottom));
}

void Canvas::polygon(std::span<const QPoint> points) {
    if (points.size() < 2)
        return;
    fillAndStroke(std::vector<QPoint>(points.begin(), points.end()));
}

// ---- 3-D edges -----------------------------------------------------------------------------

namespace {

constexpr int HL = COLOR_BTNHIGHLIGHT;
constexpr int LT = COLOR_3DLIGHT;
constexpr int SH = COLOR_BTNSHADOW;
constexpr int DK = COLOR_3DDKSHADOW;
constexpr int NO = -1;

// Indexed by (inner << 2 | outer); an inner border alone is drawn where the outer one goes.
constexpr std::array<int, 16> kLtInner = {NO, NO, NO, NO, NO, HL, HL, NO,
                                          NO, DK, DK, NO, NO, NO, NO, NO};
constexpr std::array<int, 16> kLtOuter = {NO, LT, SH, NO, HL, LT, SH, NO,
                                          DK, LT, SH, NO, NO, LT, SH, NO};
constexpr std::array<int, 16> kRbInner = {NO, NO, NO, NO, NO, SH, SH, NO,
                                          NO, LT, LT, NO, NO, NO, NO, NO};
constexpr std::array<int, 16> kRbOuter = {NO, DK, HL, NO, SH, DK, HL, NO,
                                          LT, DK, HL, NO, NO, DK, HL, NO};
constexpr std::array<int, 16> kLtInnerSoft = {NO, NO, NO, NO, NO, LT, LT, NO,
                                              NO, SH, SH, NO, NO, NO, NO, NO};
constexpr std::array<int, 16> kLtOuterSoft = {NO, HL, DK, NO, LT, HL, DK, NO,
                                              SH, HL, DK, NO, NO, HL, DK, NO};

} // namespace

void Canvas::drawEdgeLine(QPoint from, QPoint to, int sysColorIndex) {
    const std::uint32_t color = swapRedBlue(sysColor(sysColorIndex));
    for (const QPoint& p : raster::linePixels(from, to)) {
        const QPoint d = p + m_origin;
        plotPen(d.x(), d.y(), color, R2_COPYPEN);
    }
}

QRect Canvas::drawEdge(const QRect& rect, unsigned edge, unsigned flags) {
    const std::size_t index = edge & (BDR_INNER | BDR_OUTER);
    int ltInner = kLtInner[index];
    int ltOuter = kLtOuter[index];
    int rbInner = kRbInner[index];
    int rbOuter = kRbOuter[index];
    if (flags & BF_SOFT) {
        ltInner = kLtInnerSoft[index];
        ltOuter = kLtOuterSoft[index];
    }
    if (flags & (BF_MONO | BF_FLAT)) {
        const int outer = (flags & BF_MONO) ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW;
        const int inner = (flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE;
        ltOuter = ltOuter == NO ? NO : outer;
        rbOuter = rbOuter == NO ? NO : outer;
        ltInner = ltInner == NO ? NO : inner;
        rbInner = rbInner == NO ? NO : inner;
    }

    const int l = rect.x();
    const int t = rect.y();
    const int r = gdiRight(rect);
    const int b = gdiBottom(rect);
    const int ltPlus = (flags & BF_TOPLEFT) == BF_TOPLEFT ? 1 : 0;
    const int rtPlus = (flags & BF_TOPRIGHT) == BF_TOPRIGHT ? 1 : 0;
    const int lbPlus = (flags & BF_BOTTOMLEFT) == BF_BOTTOMLEFT ? 1 : 0;
    const int rbPlus = (flags & BF_BOTTOMRIGHT) == BF_BOTTOMRIGHT ? 1 : 0;

    if (ltOuter != NO) {
        if (flags & BF_TOP)
            drawEdgeLine({l, t}, {r, t}, ltOuter);
        if (flags & BF_LEFT)
            drawEdgeLine({l, t}, {l, b}, ltOuter);
    }
    if (rbOuter != NO) {
        if (flags & BF_BOTTOM)
            drawEdgeLine({l, b - 1}, {r, b - 1}, rbOuter);
        if (flags & BF_RIGHT)
            drawEdgeLine({r - 1, t}, {r - 1, b}, rbOuter);
    }
    if (ltInner != NO) {
        if (flags & BF_TOP)
            drawEdgeLine({l + ltPlus, t + 1}, {r - rtPlus, t + 1}, ltInner);
        if (flags & BF_LEFT)
            drawEdgeLine({l + 1, t + ltPlus}, {l + 1, b - lbPlus}, ltInner);
    }
    if (rbInner != NO) {
        if (flags & BF_BOTTOM)
            drawEdgeLine({l + lbPlus, b - 2}, {r - rbPlus, b - 2}, rbInner);
        if (flags & BF_RIGHT)
            drawEdgeLine({r - 2, t + rtPlus}, {r - 2, b - rbPlus}, rbInner);
    }

    const int width = (index != 0 ? 1 : 0) + ((index & BDR_INNER) && (index & BDR_OUTER) ? 1 : 0);
    QRect inner = rect;
    if (flags & BF_LEFT)
        inner.setLeft(inner.left() + width);
    if (flags & BF_TOP)
        inner.setTop(inner.top() + width);
    if (flags & BF_RIGHT)
        inner.setRight(inner.right() - width);
    if (flags & BF_BOTTOM)
        inner.setBottom(inner.bottom() - width);
    if (flags & BF_MIDDLE) {
        const std::uint32_t face =
            swapRedBlue(sysColor((flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE));
        if (inner.width() > 0 && inner.height() > 0)
            fillDeviceRectSolid(inner.translated(m_origin), face);
    }
    return (flags & BF_ADJUST) ? inner : rect;
}

// ---- blits ---------------------------------------------------------------------------------

QImage Canvas::sourceAsRgb32(const QImage& source) const {
    if (source.format() == QImage::Format_Mono || source.format() == QImage::Format_MonoLSB) {
        QImage mono = source;
        mono.setColorTable(
            {0xFF000000u | deviceRgb(m_textColor), 0xFF000000u | deviceRgb(m_bkColor)});
        return mono.convertToFormat(QImage::Format_RGB32);
    }
    if (source.constBits() == m_image.constBits())
        return source.convertToFormat(QImage::Format_RGB32).copy();
    return source.convertToFormat(QImage::Format_RGB32);
}

void Canvas::bitBlt(int x, int y, int width, int height, const QImage& source, int sx, int sy,
                    std::uint32_t rop) {
    const std::uint8_t table = raster::ropTable(rop);
    if (width <= 0 || height <= 0)
        return;
    const bool useSource = raster::ropUsesSource(table);
    const bool usePattern = raster::ropUsesPattern(table);
    if (usePattern && m_brush.isClear())
        return;
    QImage src;
    if (useSource) {
        if (source.isNull())
            return;
        src = sourceAsRgb32(source);
    }
    const QPoint d0 = toDevice(x, y);
    const QRect target = QRect(d0, QSize(width, height)) & m_effectiveClip;
    for (int dy = target.top(); dy <= target.bottom(); ++dy) {
        const int srcY = sy + dy - d0.y();
        if (useSource && (srcY < 0 || srcY >= src.height()))
            continue;
        const QRgb* srcLine =
            useSource ? reinterpret_cast<const QRgb*>(src.constScanLine(srcY)) : nullptr;
        for (int dx = target.left(); dx <= target.right(); ++dx) {
            std::uint32_t s = 0;
            if (useSource) {
                const int srcX = sx + dx - d0.x();
                if (srcX < 0 || srcX >= src.width())
                    continue;
                s = srcLine[srcX] & 0xFFFFFF;
            }
            std::uint32_t p = 0;
            if (usePattern)
                brushPixel(dx, dy, true, p);
            const std::uint32_t d = table == 0xCC ? 0 : readDevice(dx, dy);
            writeDevice(dx, dy, table == 0xCC ? s : raster::rop3(table, p, s, d) & 0xFFFFFF);
        }
    }
}

void Canvas::bitBlt(int x, int y, int width, int height, const Canvas& source, int sx, int sy,
                    std::uint32_t rop) {
    bitBlt(x, y, width, height, source.image(), sx + source.origin().x(), sy + source.origin().y(),
           rop);
}

void Canvas::patBlt(int x, int y, int width, int height, std::uint32_t rop) {
    if (width < 0) {
        x += width;
        width = -width;
    }
    if (height < 0) {
        y += height;
        height = -height;
    }
    // No source: an operation that reads one draws nothing.
    bitBlt(x, y, width, height, QImage(), 0, 0, rop);
}

void Canvas::stretchBlt(int x, int y, int width, int height, const QImage& source, int sx, int sy,
                        int sourceWidth, int sourceHeight, std::uint32_t rop) {
    if (width == 0 || height == 0 || sourceWidth == 0 || sourceHeight == 0)
        return;
    if (width == sourceWidth && height == sourceHeight && width > 0 && height > 0) {
        bitBlt(x, y, width, height, source, sx, sy, rop);
        return;
    }
    const std::uint8_t table = raster::ropTable(rop);
    if (raster::ropUsesPattern(table) && m_brush.isClear())
        return;
    if (!raster::ropUsesSource(table)) {
        patBlt(x, y, width, height, rop);
        return;
    }
    if (source.isNull())
        return;
    const QRect dest = gdiRect(std::min(x, x + width), std::min(y, y + height),
                               std::max(x, x + width), std::max(y, y + height));
    const QRect srcRect = gdiRect(std::min(sx, sx + sourceWidth), std::min(sy, sy + sourceHeight),
                                  std::max(sx, sx + sourceWidth), std::max(sy, sy + sourceHeight));
    stretchRows(dest, (width < 0) != (sourceWidth < 0), (height < 0) != (sourceHeight < 0),
                sourceAsRgb32(source), srcRect, table);
}

void Canvas::stretchBlt(int x, int y, int width, int height, const Canvas& source, int sx, int sy,
                        int sourceWidth, int sourceHeight, std::uint32_t rop) {
    stretchBlt(x, y, width, height, source.image(), sx + source.origin().x(),
               sy + source.origin().y(), sourceWidth, sourceHeight, rop);
}

void Canvas::stretchRows(const QRect& dest, bool mirrorX, bool mirrorY, const QImage& src,
                         const QRect& srcRect, std::uint8_t table) {
    // For each destination column (row): the run of source columns (rows) it takes.
    struct Run {
        int first;
        int last;
    };
    const bool combine = m_stretchMode != StretchMode::ColorOnColor;
    const auto runs = [&](int destLength, int srcLength, bool mirror) {
        std::vector<Run> result = std::vector<Run>(std::size_t(destLength));
        for (int d = 0; d < destLength; ++d) {
            const int nearest = raster::stretchSourceIndex(d, srcLength, destLength);
            result[std::size_t(d)] = {nearest, nearest};
        }
        if (combine && srcLength > destLength) {
            for (auto& r : result)
                r = {srcLength, -1};
            for (int s = 0; s < srcLength; ++s) {
                Run& r = result[std::size_t(raster::stretchSourceIndex(s, destLength, srcLength))];
                r.first = std::min(r.first, s);
                r.last = std::max(r.last, s);
            }
        }
        if (mirror)
            for (auto& r : result)
                r = {srcLength - 1 - r.last, srcLength - 1 - r.first};
        return result;
    };
    const std::vector<Run> columns = runs(dest.width(), srcRect.width(), mirrorX);
    const std::vector<Run> rows = runs(dest.height(), srcRect.height(), mirrorY);

    const QRect target = dest.translated(m_origin) & m_effectiveClip;
    const QRect srcBounds = src.rect();
    const bool usePattern = raster::ropUsesPattern(table);
    for (int dy = target.top(); dy <= target.bottom(); ++dy) {
        const Run& row = rows[std::size_t(dy - m_origin.y() - dest.y())];
        for (int dx = target.left(); dx <= target.right(); ++dx) {
            const Run& col = columns[std::size_t(dx - m_origin.x() - dest.x())];
            std::uint32_t andValue = 0xFFFFFF;
            std::uint32_t orValue = 0;
            std::array<std::uint64_t, 3> sum = {0, 0, 0};
            int count = 0;
            for (int sy = row.first; sy <= row.last; ++sy) {
                for (int sx = col.first; sx <= col.last; ++sx) {
                    const QPoint sp(srcRect.x() + sx, srcRect.y() + sy);
                    if (!srcBounds.contains(sp))
                        continue;
                    const std::uint32_t v =
                        reinterpret_cast<const QRgb*>(src.constScanLine(sp.y()))[sp.x()] & 0xFFFFFF;
                    andValue &= v;
                    orValue |= v;
                    sum[0] += (v >> 16) & 0xFF;
                    sum[1] += (v >> 8) & 0xFF;
                    sum[2] += v & 0xFF;
                    ++count;
                }
            }
            if (count == 0)
                continue;
            std::uint32_t s = andValue;
            if (m_stretchMode == StretchMode::WhiteOnBlack)
                s = orValue;
            else if (m_stretchMode == StretchMode::Halftone)
                s = std::uint32_t(sum[0] / std::uint64_t(count)) << 16 |
                    std::uint32_t(sum[1] / std::uint64_t(count)) << 8 |
                    std::uint32_t(sum[2] / std::uint64_t(count));
            std::uint32_t p = 0;
            if (usePattern)
                brushPixel(dx, dy, true, p);
            writeDevice(dx, dy, raster::rop3(table, p, s, readDevice(dx, dy)) & 0xFFFFFF);
        }
    }
}

void Canvas::draw(int x, int y, const QImage& picture) {
    bitBlt(x, y, picture.width(), picture.height(), picture, 0, 0, SRCCOPY);
}

void Canvas::drawTransparent(int x, int y, const QImage& picture, TColor transparentColor) {
    if (picture.isNull())
        return;
    const QImage src = sourceAsRgb32(picture);
    const std::uint32_t key = deviceRgb(transparentColor);
    const QPoint d0 = toDevice(x, y);
    const QRect target = QRect(d0, src.size()) & m_effectiveClip;
    for (int dy = target.top(); dy <= target.bottom(); ++dy) {
        const QRgb* line = reinterpret_cast<const QRgb*>(src.constScanLine(dy - d0.y()));
        for (int dx = target.left(); dx <= target.right(); ++dx) {
            const std::uint32_t v = line[dx - d0.x()] & 0xFFFFFF;
            if (v != key)
                writeDevice(dx, dy, v);
        }
    }
}

void Canvas::stretchDraw(const QRect& rect, const QImage& picture) {
    const StretchMode saved = m_stretchMode;
    m_stretchMode = StretchMode::ColorOnColor;
    stretchBlt(rect.x(), rect.y(), rect.width(), rect.height(), picture, 0, 0, picture.width(),
               picture.height(), SRCCOPY);
    m_stretchMode = saved;
}

} // namespace platform
