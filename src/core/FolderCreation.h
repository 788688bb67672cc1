#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace core {

class PathRules;

// What folder creation needs of a file system, so the rules can run against a stand-in.
struct FolderOperations {
    std::function<bool(const std::string&)> isFolder;
    std::function<bool(const std::string&)> createFolder; // one level; false when it fails
};

FolderOperations realFolderOperations();

// Creates the folder and the levels above it that the rules let it reach: one trailing separator
// is ignored, paths under three characters and existing folders count as done, and a level is
// found by the last delimiter, so "C:/New/Frames" with Windows rules creates only its last level.
// Throws core::Error for an empty path; otherwise returns whether the folder was made.
bool forceDirectories(std::string_view path, const PathRules& rules,
                      const FolderOperations& folders);
bool forceDirectories(std::string_view path, const PathRules& rules);

} // namespace core
