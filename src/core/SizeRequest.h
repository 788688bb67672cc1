#pragma once

#include "core/PixelShape.h"

#include <string_view>

namespace core {

// A size the pictures are to be written at: both sides, one side with the other following the
// picture's shape as shown, or a percentage of the size shown.
class SizeRequest {
public:
    // Larger pictures are a typing error, not a wish: 16384 x 16384 is already 800 MB of BGR.
    static constexpr int largest = 16384;

    // "640x360", "640x", "x360" or "50%". Throws std::invalid_argument saying what is wrong.
    static SizeRequest parse(std::string_view text);

    // The size for a picture of width x height pixels of `shape`, as it is shown (pixels made
    // square), each side rounded to the nearest and at least 1. May exceed `largest`.
    PixelShape::Size resolve(int width, int height, PixelShape shape) const;
    // The shape of the resized picture's pixels: square, unless both sides were given and they
    // squeeze the picture as shown; the pixels then carry what shows it undistorted again.
    PixelShape shapeAfter(int width, int height, PixelShape shape) const;

    bool operator==(const SizeRequest&) const = default;

private:
    int width_ = 0; // 0: follows the height
    int height_ = 0;
    int percent_ = 0; // set: both sides scaled, the others unset
};

} // namespace core
