#pragma once

#include "platform/Colors.h"

#include <functional>

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

// Mix modes in the class library's order; each maps to one binary raster operation.
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};

// The pen of a canvas. Mode is the canvas's binary raster operation: it mixes lines and the
// brush fill of shapes with what lies beneath. onChange fires only on a real change and once
// on every assign().
class TPen {
public:
    TPen() = default;
    TPen(const TPen& other);
    TPen& operator=(const TPen& other);

    void assign(const TPen& source);

    TColor color() const { return m_color; }
    void setColor(TColor color);
    int width() const { return m_width; }
    void setWidth(int width);
    TPenStyle style() const { return m_style; }
    void setStyle(TPenStyle style);
    TPenMode mode() const { return m_mode; }
    void setMode(TPenMode mode);

    bool operator==(const TPen& other) const;

    std::function<void()> onChange;

private:
    void changed();

    TColor m_color = clBlack;
    int m_width = 1;
    TPenStyle m_style = psSolid;
    TPenMode m_mode = pmCopy;
};
