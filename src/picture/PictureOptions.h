#pragma once

#include "core/SizeRequest.h"
#include "picture/DeepPicture.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace picture {

// What becomes of a decoded picture before it is handed out.
struct PictureOptions {
    // Pictures as stored rather than turned upright by the movie's display matrix.
    bool storedOrientation = false;
    // Pictures stretched to square pixels (see core::PixelShape::squareSize), after the turn.
    bool squarePixels = false;
    // Pictures the decoder marks interlaced are deinterlaced (see Deinterlacer).
    bool deinterlace = false;
    // Pictures resized to this, as shown (turned, pixels square), last of all.
    std::optional<core::SizeRequest> size = std::nullopt;
    // Pictures shrunk to this width, the height in proportion (2 rows at least), straight from
    // the decoded planes: a cheap look at the content. 0 keeps the stored size.
    int sketchWidth = 0;
    // Set: each picture goes here at 16 bits a channel as the stream codes it, and not into the
    // 24-bit picture. Neither turned nor resized.
    std::shared_ptr<DeepPicture> deep = nullptr;

    // The size pictures of `width` x `height` are given at.
    int sketchHeight(int width, int height) const {
        return std::max(
            2, static_cast<int>((static_cast<long long>(height) * sketchWidth + width / 2) /
                                std::max(1, width)));
    }
};

} // namespace picture
