#include "player/FrameInterval.h"

#include <algorithm>
#include <cmath>

namespace player {

int frameIntervalMs(double framesPerSecond) {
    constexpr double fallbackRate = 15.0;
    const double rate =
        std::isfinite(framesPerSecond) && framesPerSecond > 0.0 ? framesPerSecond : fallbackRate;
    const double ms = std::round(1000.0 / rate);
    return static_cast<int>(std::clamp(ms, 1.0, 10000.0));
}

} // namespace player
