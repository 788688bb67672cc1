#pragma once

#include "platform/Colors.h"

#include <QRect>
#include <cstdint>

namespace platform {

// A rectangle given as the platform gives it: left, top and the exclusive right and bottom.
constexpr QRect gdiRect(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}
constexpr int gdiRight(const QRect& r) {
    return r.x() + r.width();
}
constexpr int gdiBottom(const QRect& r) {
    return r.y() + r.height();
}

// DrawText formats.
inline constexpr unsigned DT_TOP = 0x00000000;
inline constexpr unsigned DT_LEFT = 0x00000000;
inline constexpr unsigned DT_CENTER = 0x00000001;
inline constexpr unsigned DT_RIGHT = 0x00000002;
inline constexpr unsigned DT_VCENTER = 0x00000004;
inline constexpr unsigned DT_BOTTOM = 0x00000008;
inline constexpr unsigned DT_WORDBREAK = 0x00000010;
inline constexpr unsigned DT_SINGLELINE = 0x00000020;
inline constexpr unsigned DT_EXPANDTABS = 0x00000040;
inline constexpr unsigned DT_TABSTOP = 0x00000080;
inline constexpr unsigned DT_NOCLIP = 0x00000100;
inline constexpr unsigned DT_EXTERNALLEADING = 0x00000200;
inline constexpr unsigned DT_CALCRECT = 0x00000400;
inline constexpr unsigned DT_NOPREFIX = 0x00000800;
inline constexpr unsigned DT_INTERNAL = 0x00001000;
inline constexpr unsigned DT_EDITCONTROL = 0x00002000;
inline constexpr unsigned DT_PATH_ELLIPSIS = 0x00004000;
inline constexpr unsigned DT_END_ELLIPSIS = 0x00008000;
inline constexpr unsigned DT_MODIFYSTRING = 0x00010000;
inline constexpr unsigned DT_RTLREADING = 0x00020000;
inline constexpr unsigned DT_WORD_ELLIPSIS = 0x00040000;
inline constexpr unsigned DT_NOFULLWIDTHCHARBREAK = 0x00080000;
inline constexpr unsigned DT_HIDEPREFIX = 0x00100000;
inline constexpr unsigned DT_PREFIXONLY = 0x00200000;

// DrawTextEx's extra parameters: tab stops in average character widths, margins in pixels.
struct DrawTextParams {
    int tabLength = 8;
    int leftMargin = 0;
    int rightMargin = 0;
};

// What DrawText answers: the height of the text drawn (from the rectangle's top to the bottom of
// the last line when vertically aligned), and the rectangle (the measured one for DT_CALCRECT).
struct DrawTextResult {
    int height = 0;
    QRect rect;
};

// DrawEdge borders and flags.
inline constexpr unsigned BDR_RAISEDOUTER = 0x0001;
inline constexpr unsigned BDR_SUNKENOUTER = 0x0002;
inline constexpr unsigned BDR_RAISEDINNER = 0x0004;
inline constexpr unsigned BDR_SUNKENINNER = 0x0008;
inline constexpr unsigned BDR_OUTER = BDR_RAISEDOUTER | BDR_SUNKENOUTER;
inline constexpr unsigned BDR_INNER = BDR_RAISEDINNER | BDR_SUNKENINNER;
inline constexpr unsigned BDR_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr unsigned BDR_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr unsigned EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
inline constexpr unsigned EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

inline constexpr unsigned BF_LEFT = 0x0001;
inline constexpr unsigned BF_TOP = 0x0002;
inline constexpr unsigned BF_RIGHT = 0x0004;
inline constexpr unsigned BF_BOTTOM = 0x0008;
inline constexpr unsigned BF_TOPLEFT = BF_TOP | BF_LEFT;
inline constexpr unsigned BF_TOPRIGHT = BF_TOP | BF_RIGHT;
inline constexpr unsigned BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT;
inline constexpr unsigned BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
inline constexpr unsigned BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
inline constexpr unsigned BF_MIDDLE = 0x0800;
inline constexpr unsigned BF_SOFT = 0x1000;
inline constexpr unsigned BF_ADJUST = 0x2000;
inline constexpr unsigned BF_FLAT = 0x4000;
inline constexpr unsigned BF_MONO = 0x8000;

// Ternary raster operations: bits 16-23 are the truth table over (pattern, source, destination).
inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;
inline constexpr std::uint32_t SRCPAINT = 0x00EE0086;
inline constexpr std::uint32_t SRCAND = 0x008800C6;
inline constexpr std::uint32_t SRCINVERT = 0x00660046;
inline constexpr std::uint32_t SRCERASE = 0x00440328;
inline constexpr std::uint32_t NOTSRCCOPY = 0x00330008;
inline constexpr std::uint32_t NOTSRCERASE = 0x001100A6;
inline constexpr std::uint32_t MERGECOPY = 0x00C000CA;
inline constexpr std::uint32_t MERGEPAINT = 0x00BB0226;
inline constexpr std::uint32_t PATCOPY = 0x00F00021;
inline constexpr std::uint32_t PATPAINT = 0x00FB0A09;
inline constexpr std::uint32_t PATINVERT = 0x005A0049;
inline constexpr std::uint32_t DSTINVERT = 0x00550009;
inline constexpr std::uint32_t BLACKNESS = 0x00000042;
inline constexpr std::uint32_t WHITENESS = 0x00FF0062;
// Destination AND pattern (a masking brush).
inline constexpr std::uint32_t DPA = 0x00A000C9;
// Pattern where the source is 1, destination where it is 0: paints a brush through a mask.
inline constexpr std::uint32_t DSPDXAX = 0x00E20746;

// What Canvas::pixel() answers outside the clip rectangle.
inline constexpr TColor CLR_INVALID = TColor(0xFFFFFFFFu);

enum class BkMode { Transparent = 1, Opaque = 2 };

// Stretch modes, numbered as the platform numbers them. The default is BlackOnWhite, as on the
// platform: shrinking ANDs the dropped pixels together. Colour pictures want ColorOnColor.
enum class StretchMode { BlackOnWhite = 1, WhiteOnBlack = 2, ColorOnColor = 3, Halftone = 4 };

enum class FillMode { Alternate = 1, Winding = 2 };

inline constexpr std::uint8_t TMPF_FIXED_PITCH = 0x01; // set for a variable pitch font
inline constexpr std::uint8_t TMPF_VECTOR = 0x02;
inline constexpr std::uint8_t TMPF_TRUETYPE = 0x04;

struct TextMetrics {
    int tmHeight = 0;
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0;
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
    int tmWeight = 400;
    int tmOverhang = 0;
    bool tmItalic = false;
    bool tmUnderlined = false;
    bool tmStruckOut = false;
    std::uint8_t tmPitchAndFamily = 0;
    int tmCharSet = 0;
};

} // namespace platform
