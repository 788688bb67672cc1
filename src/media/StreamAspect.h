#pragma once

#include <filesystem>

namespace media {

// A pixel's width over its height, reduced; 1:1 for square pixels.
struct PixelAspect {
    int num = 1;
    int den = 1;
};

// The pixel shape a movie's video stream declares (the container's word first, then the
// codec's), 1:1 where it declares none or the file cannot be read: reading the movie itself
// reports those failures.
PixelAspect declaredPixelAspect(const std::filesystem::path& file);

} // namespace media
