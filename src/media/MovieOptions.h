#pragma once

#include "media/MovieError.h"

#include <filesystem>
#include <functional>

namespace media {

// How a Movie decodes. What becomes of the pictures after is picture::PictureOptions.
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
    // The video stream read: the N-th among the file's video streams, from 0; -1 for the best.
    int stream = -1;
    // The pictures are only sketched (shot search): the decoder may leave out its deblocking
    // filter and take its fast shortcuts, for rougher pictures that cost less.
    bool sketchOnly = false;

    // Throws that MovieError for `file` once stopRequested says yes.
    void stopIfAsked(const std::filesystem::path& file) const {
        if (stopRequested && stopRequested())
            throw MovieError(file, "stopped", MovieError::Kind::Stopped);
    }
};

} // namespace media
