// The input is a movie; seeded with recordings stream-copied from the middle of one (open and
// closed GOPs), whose leading pictures are decoded once to tell which stay frames.

#include "FuzzMovie.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::optional<media::Movie> movie = FuzzMovie::open(data, size);
    if (!movie)
        return 0;
    // The first pictures are the ones the cut rules decide on.
    for (int n = 0; n < std::min(movie->frameCount(), 2); ++n) {
        try {
            movie->frame(n);
        } catch (const media::MovieError&) {
        }
    }
    return 0;
}
