// The input is a time as typed on the command line.

#include "FuzzCheck.h"
#include "core/TimeText.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    core::namesTime(text);
    const std::optional<std::int64_t> nanoseconds = core::parseTime(text);
    if (!nanoseconds)
        return 0;
    fuzzCheck(*nanoseconds >= 0, "no time before the start");
    // What the file names say comes back as the time it says.
    const std::int64_t milliseconds = *nanoseconds / 1'000'000;
    fuzzCheck(core::parseTime(core::formatSeconds(milliseconds)) == milliseconds * 1'000'000,
              "seconds read back");
    std::string timecode = core::formatTimecode(milliseconds);
    std::replace(timecode.begin(), timecode.end(), '-', ':');
    fuzzCheck(core::parseTime(timecode) == milliseconds * 1'000'000, "a timecode reads back");
    return 0;
}
