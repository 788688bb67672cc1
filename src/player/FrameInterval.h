#pragma once

namespace player {

// Milliseconds between two frames at `framesPerSecond`, rounded, within 1 ms .. 10 s. A rate
// the movie does not state (zero, negative, not a number) plays at 15 frames a second.
int frameIntervalMs(double framesPerSecond);

} // namespace player
