#pragma once

namespace media {

// One frame as the container describes it, learnt without decoding.
struct FrameRecord {
    double seconds = 0.0; // presentation time
    bool key = false;     // decoding can start at this frame's packet
    int packetSize = 0;   // bytes; 0 for a frame that repeats the picture before it
};

} // namespace media
