#pragma once

#include <cstdint>
#include <optional>
#include <variant>

namespace cli {

// A time from the first frame, in nanoseconds, standing for the frame shown then.
struct FrameTime {
    std::int64_t nanoseconds = 0;
};

// "--start 10" is frame 10; "--start 10s" and "--start 0:10" are ten seconds in.
using RangeBound = std::variant<std::int32_t, FrameTime>;

// The stretch of a movie frames are chosen within; an end left unset is the movie's own.
struct FrameRange {
    std::optional<RangeBound> start;
    std::optional<RangeBound> end;

    std::optional<std::int32_t> startFrame() const { return frameOf(start); }
    std::optional<std::int32_t> endFrame() const { return frameOf(end); }
    std::optional<std::int64_t> startTime() const { return timeOf(start); }
    std::optional<std::int64_t> endTime() const { return timeOf(end); }

private:
    static std::optional<std::int32_t> frameOf(const std::optional<RangeBound>& bound) {
        if (const std::int32_t* frame = bound ? std::get_if<std::int32_t>(&*bound) : nullptr)
            return *frame;
        return std::nullopt;
    }
    static std::optional<std::int64_t> timeOf(const std::optional<RangeBound>& bound) {
        if (const FrameTime* time = bound ? std::get_if<FrameTime>(&*bound) : nullptr)
            return time->nanoseconds;
        return std::nullopt;
    }
};

} // namespace cli
