#include "core/SizeRequest.h"

#include "core/Numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>

namespace core {

namespace {

// Any percentage above this makes even a picture of one pixel too large.
constexpr int largestPercent = SizeRequest::largest * 100;

std::optional<int> side(std::string_view text) {
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return strToInt(text);
}

// num / den to the nearest whole number, halves up; at least 1. Long double holds the products
// of these sides and shapes exactly.
int nearest(long double num, long double den) {
    const long double value = std::floor(num / den + 0.5L);
    return static_cast<int>(std::clamp<long double>(value, 1.0L, std::numeric_limits<int>::max()));
}

} // namespace

SizeRequest SizeRequest::parse(std::string_view text) {
    const std::string shown(text);
    const std::string forms = "; give WxH, Wx, xH or N% (such as 640x360, 640x, x360, 50%)";
    SizeRequest request;
    if (text.ends_with('%')) {
        const std::optional<int> percent = side(text.substr(0, text.size() - 1));
        if (!percent)
            throw std::invalid_argument("the size '" + shown + "' is not understood" + forms);
        if (*percent < 1 || *percent > largestPercent)
            throw std::invalid_argument("the size '" + shown + "' must be from 1% to " +
                                        std::to_string(largestPercent) + "%");
        request.percent_ = *percent;
        return request;
    }
    const std::size_t cross = text.find('x');
    if (cross == std::string_view::npos)
        throw std::invalid_argument("the size '" + shown + "' is not understood" + forms);
    const std::string_view across = text.substr(0, cross);
    const std::string_view down = text.substr(cross + 1);
    const std::optional<int> width = across.empty() ? std::optional<int>(0) : side(across);
    const std::optional<int> height = down.empty() ? std::optional<int>(0) : side(down);
    if (!width || !height || (across.empty() && down.empty()))
        throw std::invalid_argument("the size '" + shown + "' is not understood" + forms);
    if ((!across.empty() && *width < 1) || (!down.empty() && *height < 1) || *width > largest ||
        *height > largest)
        throw std::invalid_argument("the size '" + shown + "' needs sides from 1 to " +
                                    std::to_string(largest));
    request.width_ = *width;
    request.height_ = *height;
    return request;
}

PixelShape::Size SizeRequest::resolve(int width, int height, PixelShape shape) const {
    // The picture as shown is width * num wide for height * den high.
    const long double across = static_cast<long double>(width) * shape.num;
    const long double down = static_cast<long double>(height) * shape.den;
    if (percent_ > 0) {
        // Of the size shown, which stretches one side and never shrinks the other.
        const long double scale = percent_;
        if (shape.num > shape.den)
            return {nearest(across * scale, 100.0L * shape.den), nearest(height * scale, 100)};
        return {nearest(width * scale, 100), nearest(down * scale, 100.0L * shape.num)};
    }
    if (width_ > 0 && height_ > 0)
        return {width_, height_};
    if (width_ > 0)
        return {width_, nearest(width_ * down, across)};
    return {nearest(height_ * across, down), height_};
}

PixelShape SizeRequest::shapeAfter(int width, int height, PixelShape shape) const {
    if (width_ == 0 || height_ == 0)
        return {};
    // Sides that match the shape up to the rounding of one of them keep the pixels square.
    const long double across = static_cast<long double>(width) * shape.num;
    const long double down = static_cast<long double>(height) * shape.den;
    if (nearest(width_ * down, across) == height_ || nearest(height_ * across, down) == width_)
        return {};
    return PixelShape::of(static_cast<long long>(width) * shape.num * height_,
                          static_cast<long long>(height) * shape.den * width_);
}

} // namespace core
