#pragma once

#include <string>

namespace cli {

// `text` (UTF-8) as a JSON string, quotes included.
std::string jsonString(const std::string& text);

} // namespace cli
