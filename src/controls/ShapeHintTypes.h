#pragma once

#include <QObject>

// The enumerations the balloon hint publishes, in a Qt meta-namespace of their own so form
// descriptions can name their values; brought into the global namespace below.
namespace shapehint {
Q_NAMESPACE

// The preferred side of the pointer.
enum THintPosition { hpAboveLeft, hpAboveRight, hpBelowLeft, hpBelowRight };
Q_ENUM_NS(THintPosition)

enum THintStyle { hsRect, hsRoundRect, hsEllipse, hsNoseRect, hsNoseRoundRect, hsNoseEllipse };
Q_ENUM_NS(THintStyle)

// hssTracing: a checkered shadow through which the background shows.
enum THintShadowStyle { hssNone, hssSolid, hssTracing };
Q_ENUM_NS(THintShadowStyle)

enum THintFont3DStyle { f3dNone, f3dRaised, f3dLowered, f3dShadowed };
Q_ENUM_NS(THintFont3DStyle)

} // namespace shapehint

using shapehint::THintFont3DStyle;
using shapehint::THintPosition;
using shapehint::THintShadowStyle;
using shapehint::THintStyle;
using enum shapehint::THintPosition;
using enum shapehint::THintStyle;
using enum shapehint::THintShadowStyle;
using enum shapehint::THintFont3DStyle;
