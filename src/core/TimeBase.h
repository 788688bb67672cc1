#pragma once

#include <cstdint>

namespace core {

// The unit of a stream's time stamps, num/den seconds. Times typed by people are whole
// nanoseconds; comparisons between the two are exact, never through floating point, so a time
// typed as a frame's start lands on that frame and not on the one before.
struct TimeBase {
    std::int64_t num = 1;
    std::int64_t den = 1;

    // Whether `ticks` come at or before `nanoseconds`.
    bool atOrBefore(std::int64_t ticks, std::int64_t nanoseconds) const;
    // `ticks` as whole nanoseconds or milliseconds, rounded up: such a time, given back, names
    // the same frame.
    std::int64_t nanosecondsUp(std::int64_t ticks) const;
    std::int64_t millisecondsUp(std::int64_t ticks) const;

private:
    std::int64_t unitsUp(std::int64_t ticks, std::int64_t perSecond) const;
};

} // namespace core
