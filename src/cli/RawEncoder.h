#pragma once

#include "core/BgrImage.h"

#include <cstdint>
#include <vector>

namespace cli {

// The picture as bare RGB24: red, green, blue a pixel, rows top first, no padding.
std::vector<std::uint8_t> encodeRgb24(const core::BgrImage& image);

} // namespace cli
