#include "core/TimeText.h"

#include <cinttypes>
#include <cstdio>
#include <limits>
#include <vector>

namespace core {

namespace {

constexpr std::int64_t nanosecondsPerSecond = 1'000'000'000;
constexpr int maxDecimals = 9;
// Beyond a hundred years a movie time is a typing error, and products stay within 64 bits.
constexpr std::int64_t maxSeconds = std::int64_t{100} * 366 * 24 * 3600;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::optional<std::int64_t> wholeNumber(std::string_view digits) {
    if (digits.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (const char c : digits) {
        if (!isDigit(c) || value > maxSeconds)
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value <= maxSeconds ? std::optional(value) : std::nullopt;
}

// "12", "12.5", ".5": a decimal number of units, as nanoseconds of those units.
std::optional<std::int64_t> decimalNanos(std::string_view text) {
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.empty() && fraction.empty())
        return std::nullopt;
    if (fraction.size() > maxDecimals)
        return std::nullopt;
    const std::optional<std::int64_t> units =
        whole.empty() ? std::optional<std::int64_t>(0) : wholeNumber(whole);
    if (!units)
        return std::nullopt;
    std::int64_t nanos = 0;
    std::int64_t scale = nanosecondsPerSecond;
    for (const char c : fraction) {
        if (!isDigit(c))
            return std::nullopt;
        scale /= 10;
        nanos += (c - '0') * scale;
    }
    return *units * nanosecondsPerSecond + nanos;
}

std::vector<std::string_view> splitAtColons(std::string_view text) {
    std::vector<std::string_view> fields;
    for (std::size_t colon; (colon = text.find(':')) != std::string_view::npos;) {
        fields.push_back(text.substr(0, colon));
        text.remove_prefix(colon + 1);
    }
    fields.push_back(text);
    return fields;
}

std::optional<std::int64_t> timecode(std::string_view text) {
    const std::vector<std::string_view> fields = splitAtColons(text);
    if (fields.size() > 3)
        return std::nullopt;
    const std::optional<std::int64_t> seconds = decimalNanos(fields.back());
    if (!seconds || fields.back().find('.') == 0)
        return std::nullopt;
    std::int64_t total = *seconds;
    if (total >= 60 * nanosecondsPerSecond)
        return std::nullopt;
    std::int64_t unit = 60;
    for (std::size_t i = fields.size() - 1; i-- > 0; unit *= 60) {
        const std::optional<std::int64_t> value = wholeNumber(fields[i]);
        // Only the leading field may count past its next unit: "90:00" is an hour and a half.
        if (!value || (i > 0 && *value >= 60) || *value > maxSeconds / unit)
            return std::nullopt;
        total += *value * unit * nanosecondsPerSecond;
    }
    return total;
}

} // namespace

std::optional<std::int64_t> parseTime(std::string_view text) {
    if (text.find(':') != std::string_view::npos)
        return timecode(text);
    if (text.ends_with('m')) {
        const std::optional<std::int64_t> minutes = decimalNanos(text.substr(0, text.size() - 1));
        if (!minutes || *minutes > maxSeconds / 60 * nanosecondsPerSecond)
            return std::nullopt;
        return *minutes * 60;
    }
    if (text.ends_with('s'))
        text.remove_suffix(1);
    return decimalNanos(text);
}

bool namesTime(std::string_view text) {
    return text.ends_with('s') || text.ends_with('m') || text.find(':') != std::string_view::npos;
}

std::string formatSeconds(std::int64_t milliseconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%" PRId64 ".%03" PRId64, milliseconds / 1000,
                  milliseconds % 1000);
    return text;
}

std::string formatTimecode(std::int64_t milliseconds) {
    const std::int64_t seconds = milliseconds / 1000;
    char text[48];
    std::snprintf(text, sizeof text, "%02" PRId64 "-%02" PRId64 "-%02" PRId64 ".%03" PRId64,
                  seconds / 3600, seconds / 60 % 60, seconds % 60, milliseconds % 1000);
    return text;
}

} // namespace core
