#pragma once

#include "cli/FrameList.h"

#include <cstdint>
#include <variant>
#include <vector>

namespace cli {

// Every Nth frame of the range; 1, every frame, is what a command line choosing nothing gets.
struct EveryNthFrame {
    std::int32_t interval = 1;
};

// The frames shown at 0, D, 2D, ... within the range, each once.
struct EveryDuration {
    std::int64_t nanoseconds = 0;
};

// The frames shown at these times from the first frame; they name their frames without a range.
struct AtTimes {
    std::vector<std::int64_t> nanoseconds;
};

// The key frames of the range.
struct KeyFrames {};

// The first frame of every shot within the range, found this keenly (1 to 100).
struct ShotStarts {
    int sensitivity = 50;
};

// How a run chooses its frames: one way only, as the ways exclude each other. A FrameList
// names its frames without a range.
using FrameChoice =
    std::variant<EveryNthFrame, EveryDuration, AtTimes, FrameList, KeyFrames, ShotStarts>;

} // namespace cli
