#pragma once

#include <cstdint>

namespace cli {

struct ExtractOptions;

// The frames a run writes: start, start + interval, ... up to the end frame.
class FramePlan {
public:
    // Applies the defaults (frame 0 to the last frame) and checks the range against the movie;
    // throws UsageError for a range the movie cannot satisfy.
    static FramePlan resolve(const ExtractOptions& options, std::int32_t movieFrames);

    std::int32_t count() const { return count_; }
    std::int32_t interval() const { return interval_; }
    std::int32_t frame(std::int32_t index) const;

private:
    FramePlan(std::int32_t start, std::int32_t interval, std::int32_t count)
        : start_(start), interval_(interval), count_(count) {}

    std::int32_t start_;
    std::int32_t interval_;
    std::int32_t count_;
};

} // namespace cli
