#pragma once

#include <QObject>

// The enumerations the skin controls publish. As with the standard controls' types, they live
// in a Qt meta-namespace so form descriptions can name their values, and most are brought into
// the global namespace below. The progress bar's bevel values share their names with the
// panel's bevels, so they stay qualified (skin::bvLowered).
namespace skin {
Q_NAMESPACE

enum TGradStyle { gsTopBottom, gsBottomTop, gsLeftRight, gsRightLeft, gsNone };
Q_ENUM_NS(TGradStyle)

enum TFontStyle3D { fsLowShadow, fsRaiseShadow, fsLow3D, fsRaise3D };
Q_ENUM_NS(TFontStyle3D)

enum TEllipsis { elNone, elEnd, elPath };
Q_ENUM_NS(TEllipsis)

enum TTextGradation { tgNone, tg2Colors, tg3Colors };
Q_ENUM_NS(TTextGradation)

enum TFrameType { ftFlatFrame, ftNormalFrame, ftEnclosedFrame };
Q_ENUM_NS(TFrameType)

enum TActiveImageType {
    aiNormal,
    aiXorLight,
    aiHalfLight,
    aiQuaterLight,
    aiAddLight,
    aiFrameLight,
    aiFrameLight2,
    aiMaskLight
};
Q_ENUM_NS(TActiveImageType)

enum TDisabledImageType {
    diDefault,
    diGrayscale,
    diAlphaHalfTrans,
    diAlphaQuaterTrans,
    diMaskTrans
};
Q_ENUM_NS(TDisabledImageType)

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
Q_ENUM_NS(TButtonLayout)

// The pressed looks are the states below stActiveUp; the hot ones are the two stActive states.
enum TShineButtonState { stActiveDown, stDown, stActiveUp, stUp, stDisabled };
Q_ENUM_NS(TShineButtonState)

enum TdxfBevelOuter { bvNone, bvLowered, bvRaised };
Q_ENUM_NS(TdxfBevelOuter)

enum TdxfPBOrientation { orVertical, orHorizontal };
Q_ENUM_NS(TdxfPBOrientation)

enum TdxfShowTextStyle { stsPercent, stsPosition };
Q_ENUM_NS(TdxfShowTextStyle)

enum TdxfPBStyle { sSolid, sRectangles, sExSolid, sExRectangles, sPictures };
Q_ENUM_NS(TdxfPBStyle)

} // namespace skin

using skin::TActiveImageType;
using skin::TButtonLayout;
using skin::TDisabledImageType;
using skin::TdxfBevelOuter;
using skin::TdxfPBOrientation;
using skin::TdxfPBStyle;
using skin::TdxfShowTextStyle;
using skin::TEllipsis;
using skin::TFontStyle3D;
using skin::TFrameType;
using skin::TGradStyle;
using skin::TShineButtonState;
using skin::TTextGradation;
using enum skin::TGradStyle;
using enum skin::TFontStyle3D;
using enum skin::TEllipsis;
using enum skin::TTextGradation;
using enum skin::TFrameType;
using enum skin::TActiveImageType;
using enum skin::TDisabledImageType;
using enum skin::TButtonLayout;
using enum skin::TShineButtonState;
using enum skin::TdxfPBOrientation;
using enum skin::TdxfShowTextStyle;
using enum skin::TdxfPBStyle;
