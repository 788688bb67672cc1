#pragma once

#include "core/DivisionByZero.h"

#include <cstdint>

namespace core {

// (end - start) / interval + 1, truncating toward zero, clamped to the 32-bit range.
// Throws DivisionByZero for interval 0.
std::int32_t frameCount(std::int32_t start, std::int32_t end, std::int32_t interval);

} // namespace core
