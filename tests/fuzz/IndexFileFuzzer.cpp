// The input is a saved frame index: a file the user keeps beside their movies, or the bytes a
// pickle carries to another process.

#include "FuzzCheck.h"
#include "media/FrameIndex.h"
#include "media/IndexFile.h"
#include "media/MovieError.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    try {
        const media::IndexFile saved = media::IndexFile::fromBytes(bytes, "movie.mp4");
        fuzzCheck(saved.bytes() == bytes, "an index read back is written back the same");
        const media::FrameIndex& frames = *saved.index()->frames;
        fuzzCheck(frames.frameCount() <= frames.packetCount(), "a frame is a packet");
        for (int n = 0; n < frames.frameCount(); ++n) {
            const int packet = frames.packetOf(n);
            fuzzCheck(packet >= 0 && packet < frames.packetCount() && frames.frameOf(packet) == n,
                      "a frame's packet shows that frame");
            const int start = frames.startFor(n);
            fuzzCheck(start < frames.packetCount(), "decoding starts at a packet");
        }
    } catch (const media::MovieError&) {
        // Refused: what a damaged index must get.
    }
    return 0;
}
