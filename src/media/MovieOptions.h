#pragma once

#include "core/SizeRequest.h"
#include "media/MovieError.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>

namespace media {

// How a Movie decodes.
struct MovieOptions {
    // Decoder threads; 0 takes as many as the machine has. A caller that keeps another core
    // busy itself (writing files, say) does better with 1: frame threads then only add
    // switching and hold pictures back.
    int decoderThreads = 0;
    // Asked before each packet is decoded: a jump far from its key frame can decode for many
    // seconds. Once it says yes, the fetch ends with a MovieError of kind Stopped; the movie
    // stays usable.
    std::function<bool()> stopRequested = nullptr;
    // The caller fetches key frames only, none of the frames between: each is decoded from its
    // own packet alone, and the decoder is drained rather than fed the packets after it.
    bool keyFramesAlone = false;
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

    // The size pictures of `width` x `height` are given at.
    int sketchHeight(int width, int height) const {
        return std::max(
            2, static_cast<int>((static_cast<long long>(height) * sketchWidth + width / 2) /
                                std::max(1, width)));
    }

    // Throws that MovieError for `file` once stopRequested says yes.
    void stopIfAsked(const std::filesystem::path& file) const {
        if (stopRequested && stopRequested())
            throw MovieError(file, "stopped", MovieError::Kind::Stopped);
    }
};

} // namespace media
