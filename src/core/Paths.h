#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace core {

class PathRules;

// Path splitting over UTF-8 text. Delimiter bytes never occur inside a multi-byte character,
// so byte-wise search is safe for Japanese names.

std::string extractFileName(std::string_view path, const PathRules& rules);
// From the last dot on, unless a delimiter follows that dot.
std::string extractFileExt(std::string_view path, const PathRules& rules);
// Up to and including the last delimiter.
std::string extractFilePath(std::string_view path, const PathRules& rules);
// The folder without its trailing separator; a root ("C:\", "/") keeps it.
std::string extractFileDir(std::string_view path, const PathRules& rules);
std::string changeFileExt(std::string_view path, std::string_view newExt, const PathRules& rules);
// Drops one trailing separator (backslash on Windows, slash on POSIX; a colon never counts).
// The POSIX root "/" is kept: an empty path would name no folder at all.
std::string excludeTrailingDelimiter(std::string_view path, const PathRules& rules);
bool isAviName(std::string_view path, const PathRules& rules);

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string pathToUtf8(const std::filesystem::path& path);

} // namespace core
