#include "core/PixelShape.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <numeric>

namespace core {

namespace {

constexpr long long widestRatio = 8;

int stretched(int length, long long by, long long over) {
    const long long result = (2 * length * by + over) / (2 * over);
    return static_cast<int>(std::min<long long>(result, std::numeric_limits<int>::max()));
}

} // namespace

PixelShape PixelShape::of(long long num, long long den) {
    if (num <= 0 || den <= 0 || num > den * widestRatio || den > num * widestRatio)
        return {};
    const long long common = std::gcd(num, den);
    return {static_cast<int>(num / common), static_cast<int>(den / common)};
}

PixelShape::Size PixelShape::squareSize(int width, int height) const {
    if (num > den)
        return {stretched(width, num, den), height};
    if (den > num)
        return {width, stretched(height, den, num)};
    return {width, height};
}

} // namespace core
