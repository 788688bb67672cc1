#pragma once

#include "media/FrameRecord.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace cli {

// When each frame of a movie shows, from its frame table, in exact nanoseconds from the first
// frame: frame n shows from its presentation time until the next frame's.
class FrameClock {
public:
    // `frameRate` gives a movie of one frame its length.
    FrameClock(std::vector<media::FrameRecord> table, double frameRate);

    std::int32_t frameCount() const { return static_cast<std::int32_t>(table_.size()); }
    // The frame shown at `nanoseconds`: the last whose presentation time is at or before it.
    std::int32_t frameAt(std::int64_t nanoseconds) const;
    // When frame n starts showing, rounded up to a whole nanosecond.
    std::int64_t startOf(std::int32_t n) const;
    // When the last frame stops showing: one frame length after it starts, that length being the
    // gap before it.
    std::int64_t end() const { return end_; }
    std::int64_t millisecondsOf(std::int32_t n) const;
    bool isKey(std::int32_t n) const { return table_[static_cast<std::size_t>(n)].key; }

private:
    std::vector<media::FrameRecord> table_;
    std::int64_t end_ = 0;
};

} // namespace cli
