#pragma once

#include "core/TimeBase.h"

#include <cstdint>

namespace media {

// One frame as the container describes it, learnt without decoding.
struct FrameRecord {
    double seconds = 0.0;   // presentation time, from the first frame
    std::int64_t ticks = 0; // the same, exact, in units of timeBase
    core::TimeBase timeBase;
    bool key = false;   // decoding can start at this frame's packet
    int packetSize = 0; // bytes; 0 for a frame that repeats the picture before it
};

} // namespace media
