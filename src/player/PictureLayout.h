#pragma once

#include "player/PlayerTypes.h"

#include <QRect>
#include <QSize>

namespace player {

// Where a picture of `picture` pixels lands in an area of `area` pixels (area coordinates).
// Empty when either size is empty. smFit never shrinks a side below one pixel.
QRect pictureRect(TScaleMode mode, QSize picture, QSize area);

} // namespace player
