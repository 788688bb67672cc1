#pragma once

// Small files that once led our own parsers astray: for their regression tests, and as seeds of
// the fuzz harnesses that found them.

#include <cstdint>
#include <vector>

namespace testmedia {

// An AVI file whose movi list holds `levels` lists, each inside the one before, the innermost
// holding one video chunk of stream 0. One level is a record list, as writers store them.
std::vector<std::uint8_t> nestedListsAvi(int levels);

// An MP4 file whose second box is a 64-bit one so large that skipping it by its size, in the
// arithmetic of a stream position, leads back to the first box; no 'moov' box.
std::vector<std::uint8_t> mp4BoxLeadingBack();

} // namespace testmedia
