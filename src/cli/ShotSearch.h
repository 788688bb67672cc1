#pragma once

#include "picture/ShotDetector.h"

#include <vector>

namespace media {
class Movie;
}

namespace cli {

class FramePlan;

// Decodes every planned frame (a run of consecutive frames) as a small sketch and returns
// where shots begin among them, frame numbers the movie's; the plan's first frame is always
// one. A frame that cannot be decoded fails the search with its MovieError, unless
// `keepGoing`: it then counts as its predecessor's picture.
std::vector<picture::ShotDetector::Shot> findShots(media::Movie& movie, const FramePlan& range,
                                                   int sensitivity, bool keepGoing);

} // namespace cli
