#include "core/Numbers.h"

namespace core {

namespace {

std::optional<unsigned> digitValue(char c, unsigned base) {
    unsigned value = base;
    if (c >= '0' && c <= '9')
        value = static_cast<unsigned>(c - '0');
    else if (c >= 'a' && c <= 'f')
        value = static_cast<unsigned>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F')
        value = static_cast<unsigned>(c - 'A' + 10);
    if (value >= base)
        return std::nullopt;
    return value;
}

// Magnitude of a run of digits, or nullopt when empty, malformed or above the limit.
std::optional<std::uint64_t> parseMagnitude(std::string_view digits, unsigned base,
                                            std::uint64_t limit) {
    if (digits.empty())
        return std::nullopt;
    std::uint64_t magnitude = 0;
    for (const char c : digits) {
        const std::optional<unsigned> digit = digitValue(c, base);
        if (!digit)
            return std::nullopt;
        magnitude = magnitude * base + *digit;
        if (magnitude > limit)
            return std::nullopt;
    }
    return magnitude;
}

std::optional<std::int32_t> parseHex(std::string_view digits, bool negative) {
    const std::optional<std::uint64_t> magnitude = parseMagnitude(digits, 16, 0xFFFFFFFFu);
    if (!magnitude)
        return std::nullopt;
    std::uint32_t bits = static_cast<std::uint32_t>(*magnitude);
    if (negative)
        bits = 0u - bits;
    return static_cast<std::int32_t>(bits);
}

std::optional<std::int32_t> parseDecimal(std::string_view digits, bool negative) {
    const std::uint64_t limit = negative ? 2147483648u : 2147483647u;
    const std::optional<std::uint64_t> magnitude = parseMagnitude(digits, 10, limit);
    if (!magnitude)
        return std::nullopt;
    const std::int64_t value = static_cast<std::int64_t>(*magnitude);
    return static_cast<std::int32_t>(negative ? -value : value);
}

} // namespace

std::optional<std::int32_t> strToInt(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.starts_with('$'))
        return parseHex(text.substr(1), negative);
    if (text.starts_with("0x") || text.starts_with("0X"))
        return parseHex(text.substr(2), negative);
    return parseDecimal(text, negative);
}

std::int32_t strToIntDef(std::string_view text, std::int32_t fallback) {
    return strToInt(text).value_or(fallback);
}

std::string intToStr(std::int64_t value) {
    return std::to_string(value);
}

} // namespace core
