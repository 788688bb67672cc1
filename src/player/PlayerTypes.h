#pragma once

#include <QObject>

// The player's published enumerations, in a Qt meta-namespace so form descriptions can name
// their values; brought into the global namespace with the class library's other types.
namespace player {
Q_NAMESPACE

// How the picture fills the player's area: smFit scales it to the largest size that keeps its
// proportions, centred between bars in Color; smStretch fills the whole area; smActual shows it
// pixel for pixel, centred (a larger picture is cut at the edges).
enum TScaleMode { smFit, smStretch, smActual };
Q_ENUM_NS(TScaleMode)

} // namespace player

using player::TScaleMode;
using enum player::TScaleMode;
