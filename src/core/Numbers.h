#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace core {

// The runtime's integer syntax: leading blanks, an optional sign, then decimal digits or a
// hexadecimal number after "$", "0x" or "0X". Hexadecimal takes up to 32 bits and wraps into
// the signed range ("$FFFFFFFF" is -1). Anything else, overflow or trailing text: nullopt.
std::optional<std::int32_t> strToInt(std::string_view text);
std::int32_t strToIntDef(std::string_view text, std::int32_t fallback);
std::string intToStr(std::int64_t value);

} // namespace core
