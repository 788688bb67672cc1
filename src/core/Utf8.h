#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace core {

// Strict: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view text);
// The first maxCodePoints characters of valid UTF-8 text.
std::string_view utf8Prefix(std::string_view text, std::size_t maxCodePoints);
void appendUtf8(std::string& out, char32_t codePoint);

} // namespace core
