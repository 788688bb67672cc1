#pragma once

#include "platform/Colors.h"

#include <QImage>
#include <functional>

enum TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

// The brush of a canvas: a solid colour, nothing (bsClear), an 8 x 8 hatch in Color, or a
// pattern picture (bitmap(), tiled from the image's device origin; it wins over the style).
// As in the class library, giving a clear brush a colour makes it solid. onChange fires only on
// a real change and once on every assign().
class TBrush {
public:
    TBrush() = default;
    TBrush(const TBrush& other);
    TBrush& operator=(const TBrush& other);

    void assign(const TBrush& source);

    TColor color() const { return m_color; }
    void setColor(TColor color);
    TBrushStyle style() const { return m_style; }
    void setStyle(TBrushStyle style);
    const QImage& bitmap() const { return m_bitmap; }
    // A null image removes the pattern.
    void setBitmap(const QImage& pattern);

    bool isClear() const { return m_bitmap.isNull() && m_style == bsClear; }

    bool operator==(const TBrush& other) const;

    std::function<void()> onChange;

private:
    void changed();

    TColor m_color = clWhite;
    TBrushStyle m_style = bsSolid;
    QImage m_bitmap;
};
