#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace core {

// A time as people type it, in whole nanoseconds: seconds "12.5" or "12.5s", minutes "1m" or
// "1.5m", a timecode "1:23.5" (minutes:seconds) or "01:02:03.040" (hours:minutes:seconds).
// Nullopt for anything else: a sign, more than 9 decimals, a timecode's minutes or seconds of 60
// or more, a time too long to count.
std::optional<std::int64_t> parseTime(std::string_view text);
// Whether a value that may be a frame number or a time is a time: it ends in "s" or "m" or
// holds a colon.
bool namesTime(std::string_view text);

// Milliseconds as seconds with three decimals: "12.480".
std::string formatSeconds(std::int64_t milliseconds);
// Milliseconds as hours-minutes-seconds with a dash where a colon would stand, so it can go into
// a file name on every system: "00-01-23.480".
std::string formatTimecode(std::int64_t milliseconds);

} // namespace core
