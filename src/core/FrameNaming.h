#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace core {

class PathRules;

// At least five digits, zero-filled; a minus sign goes before the digits ("-00001").
std::string formatFrameNumber(std::int32_t frame);
// "clip.avi", 12 -> "clip_00012.bmp": the extension is replaced, folders are dropped.
std::string outputBaseName(std::string_view sourceName, std::int32_t frame, const PathRules& rules);
// destination + "/" + base: the slash is used whatever separator the destination holds.
std::string outputFileName(std::string_view destination, std::string_view sourceName,
                           std::int32_t frame, const PathRules& rules);

} // namespace core
