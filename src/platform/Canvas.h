#pragma once

#include "platform/CanvasTypes.h"
#include "platform/Colors.h"
#include "platform/TBrush.h"
#include "platform/TFont.h"
#include "platform/TPen.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class QPainter;

namespace platform {

// A device context over a 32-bit picture (Format_RGB32, ARGB32 or ARGB32_Premultiplied; 24-bit
// RGB888/BGR888 also work, any other format is converted to RGB32 in place). Alpha is ignored
// on reading and written as opaque.
//
// Shapes, lines and blits are rasterised here, pixel for pixel by the platform's rules:
// rectangles leave out their right and bottom edges, lines their end point, and the pen's mode
// mixes both outlines and shape interiors. Glyphs come from Qt, drawn without antialiasing.
//
// Coordinates are logical: setOrigin() says which device pixel logical (0, 0) is, so a
// windowless control paints into its parent's picture. All drawing is clipped to the clip
// rectangle (device coordinates) and to the picture.
//
// DC state follows the class library's canvas: a change of the font sets the text colour, a
// change of the brush sets the background colour and mode (solid brush: opaque in its colour;
// any other: transparent). setTextColor()/setBkColor()/setBkMode() change them directly until
// the next such change.
class Canvas {
public:
    explicit Canvas(QImage& target);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    QImage& image() { return m_image; }
    const QImage& image() const { return m_image; }

    void setOrigin(QPoint deviceOrigin) { m_origin = deviceOrigin; }
    QPoint origin() const { return m_origin; }
    // Device coordinates; everything outside is left alone (an empty rectangle hides all).
    void setClipRect(const QRect& deviceRect);
    // Narrows the clip rectangle by a rectangle in logical coordinates.
    void intersectClipRect(const QRect& logicalRect);
    void resetClip();
    // The effective clip rectangle in device coordinates (never larger than the picture).
    QRect clipRect() const;

    TPen& pen() { return m_pen; }
    const TPen& pen() const { return m_pen; }
    TBrush& brush() { return m_brush; }
    const TBrush& brush() const { return m_brush; }
    TFont& font() { return m_font; }
    const TFont& font() const { return m_font; }

    TColor textColor() const { return m_textColor; }
    void setTextColor(TColor color) { m_textColor = color; }
    TColor bkColor() const { return m_bkColor; }
    void setBkColor(TColor color) { m_bkColor = color; }
    BkMode bkMode() const { return m_bkMode; }
    void setBkMode(BkMode mode) { m_bkMode = mode; }
    StretchMode stretchBltMode() const { return m_stretchMode; }
    void setStretchBltMode(StretchMode mode) { m_stretchMode = mode; }
    FillMode polyFillMode() const { return m_fillMode; }
    void setPolyFillMode(FillMode mode) { m_fillMode = mode; }

    // 0x00BBGGRR of a pixel; CLR_INVALID outside the clip rectangle.
    TColor pixel(int x, int y) const;
    void setPixel(int x, int y, TColor color);

    // Lines: the pen, its mode and style; the end point is not drawn.
    void moveTo(int x, int y);
    QPoint penPos() const { return m_penPos; }
    void lineTo(int x, int y);
    void polyline(std::span<const QPoint> points);

    // The brush over a rectangle, right and bottom edges left out; the pen mode is not used.
    void fillRect(const QRect& rect);
    // A one-pixel frame in the brush.
    void frameRect(const QRect& rect);
    // Pen outline on the outermost pixels, brush inside. Without a pen the brush covers
    // (left, top) to (right - 1, bottom - 1), right and bottom again left out.
    void rectangle(int left, int top, int right, int bottom);
    void rectangle(const QRect& rect) {
        rectangle(rect.x(), rect.y(), gdiRight(rect), gdiBottom(rect));
    }
    // Corner ellipses of ellipseWidth x ellipseHeight pixels, limited to the rectangle.
    void roundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
    void ellipse(int left, int top, int right, int bottom);
    // Filled with the brush under the polygon fill mode, outlined with the pen.
    void polygon(std::span<const QPoint> points);

    // A 3-D border in the system colours (BDR_* edges, BF_* flags); answers the rectangle,
    // shrunk by the border where BF_ADJUST asks for it.
    QRect drawEdge(const QRect& rect, unsigned edge, unsigned flags);

    // Raster operations: any ternary code (bits 16-23 its truth table over brush pattern,
    // source and destination). A monochrome source (Format_Mono/MonoLSB) gives the text colour
    // for index 0 and the background colour for index 1. Destination pixels whose source pixel
    // lies outside the source picture are left alone.
    void bitBlt(int x, int y, int width, int height, const QImage& source, int sx, int sy,
                std::uint32_t rop = SRCCOPY);
    void bitBlt(int x, int y, int width, int height, const Canvas& source, int sx, int sy,
                std::uint32_t rop = SRCCOPY);
    // Negative sizes mirror. Each destination pixel takes the source pixel under its centre:
    // source index floor((2d + 1) * sourceLength / (2 * destLength)). Shrinking in
    // BlackOnWhite (WhiteOnBlack) mode ANDs (ORs) every source pixel whose centre falls into
    // the destination pixel; Halftone averages them.
    void stretchBlt(int x, int y, int width, int height, const QImage& source, int sx, int sy,
                    int sourceWidth, int sourceHeight, std::uint32_t rop = SRCCOPY);
    void stretchBlt(int x, int y, int width, int height, const Canvas& source, int sx, int sy,
                    int sourceWidth, int sourceHeight, std::uint32_t rop = SRCCOPY);
    void patBlt(int x, int y, int width, int height, std::uint32_t rop);

    // A picture at (x, y), copied whole.
    void draw(int x, int y, const QImage& picture);
    // A picture at (x, y) without its pixels of the transparent colour.
    void drawTransparent(int x, int y, const QImage& picture, TColor transparentColor);
    // A picture stretched over a rectangle, colour on colour.
    void stretchDraw(const QRect& rect, const QImage& picture);

    // Text with its top-left corner at (x, y), on a background box when the mode is opaque.
    // A font with an orientation turns the text about (x, y) and draws no background box.
    void textOut(int x, int y, const QString& text);
    // Text at (x, y) clipped to a rectangle, which is first filled when the brush is not clear.
    void textRect(const QRect& rect, int x, int y, const QString& text);
    // Width (sum of the glyph advances) and height (tmHeight) of one line of text.
    QSize textExtent(const QString& text) const;
    int textWidth(const QString& text) const { return textExtent(text).width(); }
    int textHeight(const QString& text) const { return textExtent(text).height(); }
    // The font's metrics. tmOverhang is 0: synthetic bold widens the glyph advances themselves.
    TextMetrics textMetrics() const;

    DrawTextResult drawText(const QString& text, const QRect& rect, unsigned format);
    DrawTextResult drawTextEx(const QString& text, const QRect& rect, unsigned format,
                              const DrawTextParams& params);

private:
    struct FontCache;
    struct TextLine;

    QPoint toDevice(int x, int y) const { return {x + m_origin.x(), y + m_origin.y()}; }
    std::uint32_t readDevice(int x, int y) const;
    void writeDevice(int x, int y, std::uint32_t rgb);
    bool inClip(int x, int y) const { return m_effectiveClip.contains(x, y); }
    void updateEffectiveClip();
    void onBrushChanged();
    void onFontChanged();

    // Brush value at a device pixel; false where a hatch gap is transparent or the brush clear.
    bool brushPixel(int x, int y, bool forBlit, std::uint32_t& rgb) const;
    void fillSpan(int y, int x0, int x1, int rop2);
    void fillDeviceRectSolid(const QRect& deviceRect, std::uint32_t rgb);
    void plotPen(int x, int y, std::uint32_t rgb, int rop2);
    void strokePixels(const std::vector<QPoint>& logicalPixels);
    void strokePath(std::span<const QPoint> points, bool closed);
    std::vector<QPoint> pathPixels(std::span<const QPoint> points, bool closed) const;
    void fillAndStroke(const std::vector<QPoint>& outline);
    int penRop2() const;
    void drawEdgeLine(QPoint from, QPoint to, int sysColorIndex);
    QImage sourceAsRgb32(const QImage& source) const;
    void stretchRows(const QRect& dest, bool mirrorX, bool mirrorY, const QImage& src,
                     const QRect& srcRect, std::uint8_t table);

    const FontCache& fontCache() const;
    int advance(char32_t ch) const;
    int measureLine(QStringView text, bool expandTabs, int tabWidth) const;
    void drawGlyphs(QPainter& painter, int x, int baseline, QStringView text, bool expandTabs,
                    int tabWidth) const;
    void fillTextBackground(const QRect& logicalRect, const QRect& deviceClip);
    std::vector<TextLine> layoutText(const QString& text, unsigned format, int availableWidth,
                                     int tabWidth) const;

    QImage& m_image;
    QPoint m_origin;
    QRect m_clip;
    bool m_hasClip = false;
    QRect m_effectiveClip;
    TPen m_pen;
    TBrush m_brush;
    TFont m_font;
    TColor m_textColor = clBlack;
    TColor m_bkColor = clWhite;
    BkMode m_bkMode = BkMode::Opaque;
    StretchMode m_stretchMode = StretchMode::BlackOnWhite;
    FillMode m_fillMode = FillMode::Alternate;
    QPoint m_penPos;
    mutable std::unique_ptr<FontCache> m_fontCache;
};

} // namespace platform
