#include "platform/MulDiv.h"

#include <cstdint>

namespace platform {

int mulDiv(int a, int b, int c) {
    if (c == 0)
        return -1;
    const std::int64_t product = std::int64_t(a) * b;
    const std::int64_t divisor = c;
    const bool negative = (product < 0) != (divisor < 0);
    const std::uint64_t magnitude = product < 0 ? std::uint64_t(-product) : std::uint64_t(product);
    const std::uint64_t d = divisor < 0 ? std::uint64_t(-divisor) : std::uint64_t(divisor);
    std::uint64_t quotient = magnitude / d;
    if ((magnitude % d) * 2 >= d)
        ++quotient;
    // The platform treats -2^31 as an overflow too, so the range is symmetric.
    if (quotient > 2147483647u)
        return -1;
    return negative ? -int(quotient) : int(quotient);
}

} // namespace platform
