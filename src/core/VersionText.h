#pragma once

#include <string>
#include <string_view>

namespace core {

// What `PROGRAM --version` prints: the program, the release, the copyright and the licence.
std::string versionText(std::string_view program);

} // namespace core
