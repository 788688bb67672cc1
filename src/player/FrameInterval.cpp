#include "player/FrameInterval.h"

#include <algorithm>
#include <cmath>

namespace player {

int frameIntervalMs(double framesPerSecond) {
    constexpr double fallbackRate = 15.0;
    const double rate =
        std::isfinite(framesPerSecond) && framesPerSecond > 0.0 ? framesPerSecond : fallbackRate;
    const double ms = std::round(1000.0 / rate);
    // No screen shows more than 100 pictures a second; a header claiming more would only keep
    // the GUI thread decoding.
    return static_cast<int>(std::clamp(ms, 10.0, 10000.0));
}

} // namespace player
