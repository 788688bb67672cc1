#include "core/FolderCreation.h"

#include "core/Error.h"
#include "core/PathRules.h"
#include "core/Paths.h"
#include "core/Utf8.h"

#include <algorithm>
#include <filesystem>

namespace core {

namespace {

// Shorter paths are drive and root names such as "C:": nothing to create there.
constexpr std::size_t shortestCreatablePath = 3;

bool isTooShortToCreate(std::string_view path) {
    return utf8Prefix(path, shortestCreatablePath - 1).size() == path.size();
}

bool hasDelimiter(std::string_view path, const PathRules& rules) {
    return std::ranges::any_of(path, [&](char c) { return rules.isDelimiter(c); });
}

// Another job or program may create the folder between the look and the creation: then it is
// there, which is all that was asked.
bool createOrFind(const std::string& folder, const FolderOperations& folders) {
    return folders.createFolder(folder) || folders.isFolder(folder);
}

} // namespace

FolderOperations realFolderOperations() {
    return FolderOperations{
        [](const std::string& path) {
            std::error_code error;
            return std::filesystem::is_directory(pathFromUtf8(path), error);
        },
        [](const std::string& path) {
            std::error_code error;
            return std::filesystem::create_directory(pathFromUtf8(path), error) && !error;
        },
    };
}

bool forceDirectories(std::string_view path, const PathRules& rules,
                      const FolderOperations& folders) {
    if (path.empty())
        throw Error("ディレクトリを作成することができません");
    const std::string folder = excludeTrailingDelimiter(path, rules);
    if (folder.empty())
        return true; // a lone backslash: the root of the current drive
    // A name without delimiters lies in the current folder, which exists: create it whatever
    // its length, instead of recursing into an empty parent (an error) or skipping it.
    if (!hasDelimiter(folder, rules))
        return folders.isFolder(folder) || createOrFind(folder, folders);
    if (isTooShortToCreate(folder) || folders.isFolder(folder))
        return true;
    const std::string parent = extractFilePath(folder, rules);
    if (parent == folder)
        return true;
    return forceDirectories(parent, rules, folders) && createOrFind(folder, folders);
}

bool forceDirectories(std::string_view path, const PathRules& rules) {
    return forceDirectories(path, rules, realFolderOperations());
}

} // namespace core
