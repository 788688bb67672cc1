#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace cli {

// How many threads a job's decoder gets for a stretch of a movie. Frame threads pay off only
// where a core would otherwise idle and each seek is followed by a long run of costly
// pictures: they must be refilled after every seek, hold pictures back, and cost CPU time of
// their own (640x480 MPEG-4, every 25th frame: a third more).
class DecoderThreads {
public:
    struct Work {
        std::int64_t decodesPerSeek = 0; // pictures decoded in a row between two seeks
        std::int64_t pictureArea = 0;    // pixels of one stored picture
        std::string_view codec;          // the decoder's short name ("h264")
        int coresPerJob = 1;             // the cores no other job is using
    };

    static int choose(const Work& work);

    // The mean count of pictures the stretch `frames` (ascending) decodes after each seek: from
    // one planned frame the decoder reads on to the next unless a key frame lies between, in
    // which case it seeks to the key frame at or before it. `keyFrames` ascending.
    static std::int64_t decodesPerSeek(std::span<const std::int32_t> frames,
                                       std::span<const std::int32_t> keyFrames);
};

} // namespace cli
