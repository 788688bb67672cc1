#include "player/FrameInterval.h"

#include <algorithm>
#include <cmath>

namespace player {

namespace {

// No screen shows more than 100 pictures a second; a header claiming more would only keep the
// GUI thread decoding.
int clampedMs(double ms) {
    return static_cast<int>(std::clamp(std::round(ms), 10.0, 10000.0));
}

} // namespace

int frameIntervalMs(double framesPerSecond) {
    constexpr double fallbackRate = 15.0;
    const double rate =
        std::isfinite(framesPerSecond) && framesPerSecond > 0.0 ? framesPerSecond : fallbackRate;
    return clampedMs(1000.0 / rate);
}

std::vector<int> frameDurationsMs(const std::vector<media::FrameRecord>& frames,
                                  double framesPerSecond) {
    const int nominal = frameIntervalMs(framesPerSecond);
    std::vector<int> durations(frames.size(), nominal);
    for (std::size_t n = 0; n + 1 < frames.size(); ++n) {
        const double seconds = frames[n + 1].seconds - frames[n].seconds;
        if (std::isfinite(seconds) && seconds > 0.0)
            durations[n] = clampedMs(seconds * 1000.0);
    }
    return durations;
}

} // namespace player
