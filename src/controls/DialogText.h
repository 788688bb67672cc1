#pragma once

#include <QString>

namespace core {
class PathRules;
}

// Texts the browse edits hand to the platform's dialogs.
namespace controls {

// "AVI files (*.avi)|*.avi|All|*.*" -> "AVI files (*.avi);;All (*.*)": each description with
// its patterns in parentheses once (a description that already ends in them keeps them), the
// patterns separated by blanks. A text without "|" is taken as Qt's own filter text.
QString qtNameFilters(const QString& pairs);

// The starting folder without one trailing separator, unless that follows a drive colon or is
// the whole path.
QString dialogInitialDir(const QString& dir, const core::PathRules& rules);

// A path cut to at most maxChars characters for a status line: the root, "..." and as many
// whole trailing folders as fit ("C:\...\Frames\Output"), else "..." and the end of the path.
QString shortenPath(const QString& path, int maxChars);

} // namespace controls
