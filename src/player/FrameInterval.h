#pragma once

#include "media/FrameRecord.h"

#include <vector>

namespace player {

// Milliseconds between two frames at `framesPerSecond`, rounded, within 10 ms .. 10 s. A rate
// the movie does not state (zero, negative, not a number) plays at 15 frames a second.
int frameIntervalMs(double framesPerSecond);

// How long each frame of the table stays on screen, in milliseconds within 10 ms .. 10 s: until
// the next frame's time. The last frame, and a frame whose next one does not come later, last
// one frame at `framesPerSecond`.
std::vector<int> frameDurationsMs(const std::vector<media::FrameRecord>& frames,
                                  double framesPerSecond);

} // namespace player
