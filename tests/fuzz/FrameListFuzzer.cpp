// The input is a frame list as typed on the command line.

#include "FuzzCheck.h"
#include "cli/FrameList.h"
#include "cli/UsageError.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::optional<cli::FrameList> list;
    try {
        list = cli::FrameList::parse(text);
    } catch (const cli::UsageError&) {
        return 0;
    }
    const std::int32_t highest = list->highest();
    fuzzCheck(highest >= 0, "frames count from 0");
    // A movie a little shorter than the list reaches, so the cut at its end shows.
    const std::int32_t movieFrames = std::clamp(highest, 1, 5000);
    const std::vector<std::int32_t> frames = list->resolve(movieFrames);
    for (std::size_t i = 0; i < frames.size(); ++i)
        fuzzCheck(frames[i] >= 0 && frames[i] < movieFrames && frames[i] <= highest &&
                      (i == 0 || frames[i] > frames[i - 1]),
                  "each frame of the movie once, ascending");
    return 0;
}
