#pragma once

#include "platform/Canvas.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHash>
#include <algorithm>

namespace platform {

// The Qt font of a canvas and what is measured from it, rebuilt when the font changes.
struct Canvas::FontCache {
    explicit FontCache(const TFont& description) : font(description.toQFont()), metrics(font) {
        const TFontCell cell = description.cell();
        tm.tmAscent = cell.ascent;
        tm.tmDescent = cell.descent;
        tm.tmHeight = tm.tmAscent + tm.tmDescent;
        tm.tmInternalLeading = std::max(0, tm.tmHeight - description.pixelSize());
        tm.tmExternalLeading = std::max(0, metrics.leading());
        tm.tmAveCharWidth = metrics.averageCharWidth();
        tm.tmMaxCharWidth = metrics.maxWidth();
        tm.tmWeight = font.bold() ? 700 : 400;
        tm.tmOverhang = 0;
        tm.tmItalic = font.italic();
        tm.tmUnderlined = font.underline();
        tm.tmStruckOut = font.strikeOut();
        tm.tmPitchAndFamily = std::uint8_t(TMPF_TRUETYPE | TMPF_VECTOR |
                                           (QFontInfo(font).fixedPitch() ? 0 : TMPF_FIXED_PITCH));
        tm.tmCharSet = description.charset();
    }

    QFont font;
    QFontMetrics metrics;
    TextMetrics tm;
    QHash<char32_t, int> advances;
};

} // namespace platform
