#pragma once

#include <QString>

namespace core {
class PathRules;
}

namespace app {

// The destination as the program keeps it: one trailing separator of the platform's own kind
// dropped ("D:\Frames\" -> "D:\Frames" on Windows, "/frames/" -> "/frames" elsewhere); any other
// trailing character stays, and a root stays whole.
QString withoutTrailingDelimiter(const QString& path, const core::PathRules& rules);

} // namespace app
