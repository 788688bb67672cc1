#pragma once

#include <string>
#include <string_view>

namespace core {

// Bytes the character takes in code page 932: one for ASCII and half-width katakana.
int cp932ByteLength(char32_t c);
// Code page 932 bytes to UTF-8; undecodable bytes become U+FFFD. Where the system offers no
// code page 932 converter, the bytes are taken as Latin-1 so nothing is lost silently.
std::string cp932ToUtf8(std::string_view bytes);

} // namespace core
