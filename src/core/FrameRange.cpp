#include "core/FrameRange.h"

#include <algorithm>
#include <limits>

namespace core {

std::int32_t frameCount(std::int32_t start, std::int32_t end, std::int32_t interval) {
    if (interval == 0)
        throw DivisionByZero();
    // 64 bits hold every difference and quotient of 32-bit operands.
    const std::int64_t count =
        (static_cast<std::int64_t>(end) - start) / static_cast<std::int64_t>(interval) + 1;
    constexpr std::int64_t lowest = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t highest = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(count, lowest, highest));
}

} // namespace core
