#pragma once

#include "controls/ShapeHintTypes.h"
#include "platform/Colors.h"
#include "platform/TFont.h"

// What a balloon hint window needs to know of its component to draw one balloon.
struct ShapeHintLook {
    TColor color = clInfoBk;
    TColor borderColor = clBlack;
    TFont font;
    THintFont3DStyle font3D = f3dNone;
    int maxWidth = -4;
    THintPosition position = hpAboveRight;
    THintStyle style = hsNoseRoundRect;
    TColor shadowColor = clBtnShadow;
    int shadowDepth = 6;
    THintShadowStyle shadowStyle = hssSolid;
};
