#pragma once

#include "platform/Colors.h"
#include "skin/SkinTypes.h"

#include <QImage>
#include <optional>

// The picture a shine speed button draws for its glyph in one state: the glyph with the hot or
// disabled effect applied, and the colour that is transparent when it is drawn. For the
// default disabled look it is an edge mask (white on black) to be painted through with a brush.
struct ShineStateGlyph {
    QImage picture;
    TColor transparentColor = clBlack;
    bool isMask = false;
};

struct ShineGlyphEffects {
    TActiveImageType active = aiFrameLight;
    TDisabledImageType disabled = diDefault;
    TColor shine = clYellow;
    TColor face = clBtnFace;
};

// Nothing for an empty glyph. The glyph's bottom-left pixel is the background colour, which
// every effect leaves alone unless it says otherwise.
std::optional<ShineStateGlyph> makeShineStateGlyph(const QImage& glyph, TShineButtonState state,
                                                   const ShineGlyphEffects& effects);
