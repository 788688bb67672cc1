#pragma once

#include <QString>

namespace platform {

// Names longer than this cannot be searched for, as on the desktop platform.
inline constexpr qsizetype maxSearchPathLength = 259;

// True when the path names an existing file or folder. The last component may hold the
// wildcards * (any run of characters) and ? (one character); wildcards in a folder part, or a
// name longer than maxSearchPathLength characters, find nothing.
bool fileExists(const QString& pathOrPattern);

// The wildcard rule used above: * and ? only; every other character matches itself.
bool wildcardMatches(QStringView pattern, QStringView name, Qt::CaseSensitivity cs);

} // namespace platform
