#include "cli/DecoderThreads.h"

#include <algorithm>
#include <array>

namespace cli {

namespace {

// Below about a 1280x720 H.264 picture's worth of decoding, a picture is decoded sooner than
// frame threads hand it over, and a run shorter than a few pictures per thread never fills
// them.
constexpr std::int64_t costlyPicture = 1280 * 720;
constexpr std::int64_t longRun = 16;

// Codecs whose pictures cost several times an MPEG-2 or JPEG picture of the same size.
bool isCostly(std::string_view codec) {
    constexpr std::array<std::string_view, 6> costly = {"h264", "hevc", "vp9",
                                                        "av1",  "vvc",  "libdav1d"};
    return std::find(costly.begin(), costly.end(), codec) != costly.end();
}

} // namespace

int DecoderThreads::choose(const Work& work) {
#ifdef KIRIMO_ONE_DECODER_THREAD
    return 1;
#endif
    const std::int64_t cost = isCostly(work.codec) ? work.pictureArea : work.pictureArea / 2;
    if (work.coresPerJob < 2 || cost < costlyPicture || work.decodesPerSeek < longRun)
        return 1;
    // One more than the cores: a thread waiting for its reference pictures leaves its core to
    // another (1080p H.264 on two cores, 100 frames: 0.93 s with three threads, 1.38 s with
    // two).
    return work.coresPerJob + 1;
}

std::int64_t DecoderThreads::decodesPerSeek(std::span<const std::int32_t> frames,
                                            std::span<const std::int32_t> keyFrames) {
    std::int64_t decodes = 0;
    std::int64_t seeks = 0;
    std::int32_t last = -1;
    for (const std::int32_t frame : frames) {
        const auto after = std::upper_bound(keyFrames.begin(), keyFrames.end(), frame);
        const std::int32_t key = after == keyFrames.begin() ? 0 : *(after - 1);
        if (last < 0 || key > last) {
            ++seeks;
            decodes += frame - key + 1;
        } else {
            decodes += frame - last;
        }
        last = frame;
    }
    return seeks > 0 ? decodes / seeks : 0;
}

} // namespace cli
