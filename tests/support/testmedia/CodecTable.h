#pragma once

#include "support/testmedia/EncoderSettings.h"
#include "support/testmedia/TestMedia.h"

#include <vector>

namespace testmedia {

std::vector<Codec> allCodecs();

// The encoder set-up for a movie; the pixel format is the first one the encoder takes of the
// formats this codec is usually stored in.
EncoderSettings encoderSettings(const MovieRecipe& movie);

} // namespace testmedia
