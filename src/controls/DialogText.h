#pragma once

#include <QString>

namespace core {
class PathRules;
}

// Texts the browse edits hand to the platform's dialogs.
namespace controls {

// The starting folder without one trailing separator, unless that follows a drive colon or is
// the whole path.
QString dialogInitialDir(const QString& dir, const core::PathRules& rules);

// A path cut to at most maxChars characters for a status line: the root, "..." and as many
// whole trailing folders as fit ("C:\...\Frames\Output"), else "..." and the end of the path.
QString shortenPath(const QString& path, int maxChars);

} // namespace controls
