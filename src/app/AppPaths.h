#pragma once

#include <QString>

namespace core {
class PathRules;
}

// Where the program finds its folder, its settings file and its default destination.
namespace app {

// The folder part of the executable's path, without its trailing separator; a root keeps it
// ("C:\Apps\Cutter\kirimo.exe" -> "C:\Apps\Cutter", "C:\kirimo.exe" -> "C:\").
QString exeDirOf(const QString& exePath, const core::PathRules& rules);
// exeDirOf() of the running program, in native separators.
QString executableDir();

// The user's guide beside the program: the folder joined with "/Readme.txt" as it is; when only
// an installed copy exists, that one, in the documentation folder the install put it in.
QString guidePath(const QString& exeDir);

// "Kirimo.ini" in the executable's folder when that folder is the program's own (its user's guide
// or settings lie there) and can be written, otherwise in the per-user configuration folder
// (which may not exist yet): /usr/bin is nobody's settings folder, even for root.
QString settingsFilePath(const QString& exeFolder);
QString settingsFilePath();

// The destination shown before the user picks one: the documents folder off Windows.
QString defaultDestination();

} // namespace app
