// The input is a movie; seeded with containers whose tables list no packets (transport and
// program streams, Matroska without cues, fragmented MP4, bare streams), so the index comes
// from one demux pass and its time stamps are put right there.

#include "FuzzCheck.h"
#include "FuzzMovie.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<media::Movie> movie = FuzzMovie::open(data, size);
    if (!movie)
        return 0;
    fuzzCheck(movie->frameCount() > 0, "a movie that opens has frames");
    fuzzCheck(static_cast<int>(movie->frameTable().size()) == movie->frameCount(),
              "the frame table lists every frame");
    return 0;
}
