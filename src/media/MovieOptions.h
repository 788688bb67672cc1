#pragma once

namespace media {

// How a Movie decodes.
struct MovieOptions {
    // Decoder threads; 0 takes as many as the machine has. A caller that keeps another core
    // busy itself (writing files, say) does better with 1: frame threads then only add
    // switching and hold pictures back.
    int decoderThreads = 0;
};

} // namespace media
