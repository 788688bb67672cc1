#pragma once

#include "media/FfmpegPtr.h"

#include <functional>
#include <vector>

namespace media {

// Deinterlaces the pictures the decoder marks interlaced with libavfilter's bwdif, one picture a
// frame, in the field order the picture gives. Each is made from its own fields and those of the
// frames shown just before and after it, and from nothing else: a frame fetched after a seek is
// the one a run from the start gives. Where there is no frame before (the first frame, or one
// that cannot be decoded) the missing lines come from the field alone; where there is none
// after, the frame before stands in for it.
class Deinterlacer {
public:
    // The picture of a frame, valid until the next call; nullptr where there is none to use.
    using Neighbour = std::function<const AVFrame*(int frame)>;

    // `picture` itself, untouched, unless the decoder marked it interlaced; else its deinterlaced
    // picture, valid until the next call. `neighbour` fetches frame - 1 and frame + 1 (fetching
    // may overwrite `picture`); frames fetched lately are kept, so a run decodes each once.
    // threads: 0 for as many as the machine has. Throws std::runtime_error when the filter fails.
    const AVFrame& deinterlace(int frame, const AVFrame& picture, int frameCount,
                               const Neighbour& neighbour, int threads);

private:
    struct Held {
        int frame = -1;
        FramePtr picture;
    };
    const AVFrame* keep(int frame, const AVFrame& picture);
    const AVFrame* find(int frame);
    const AVFrame* fetch(int frame, const Neighbour& neighbour);

    std::vector<Held> held_; // the frames seen last, oldest first
    FramePtr out_;
};

} // namespace media
