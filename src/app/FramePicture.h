#pragma once

#include "core/BgrImage.h"

class QImage;

namespace app {

// A picture as a 24-bit bitmap: pixels as they are, and the colour table of a palettised
// picture kept as its palette.
core::BgrImage bgrImageOf(const QImage& picture);

} // namespace app
