#pragma once

#include <QString>

namespace core {
class PathRules;
}

namespace app {

// The destination as the program keeps it. With Windows rules one trailing backslash is dropped
// ("D:\Frames\" -> "D:\Frames"; a trailing "/" stays). With POSIX rules nothing is dropped: the
// edit normalises on every keystroke, so dropping a trailing "/" would swallow each separator the
// user types, and "dir/" joins to a name as well as "dir" does.
QString withoutTrailingDelimiter(const QString& path, const core::PathRules& rules);

} // namespace app
