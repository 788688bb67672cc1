#include "core/Paths.h"

#include "core/PathRules.h"

#include <algorithm>

namespace core {

namespace {

std::size_t lastDelimiter(std::string_view path, const PathRules& rules) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (rules.isDelimiter(path[i - 1]))
            return i - 1;
    }
    return std::string_view::npos;
}

// Position of the dot that starts the extension, or npos.
std::size_t extensionStart(std::string_view path, const PathRules& rules) {
    for (std::size_t i = path.size(); i > 0; --i) {
        const char c = path[i - 1];
        if (c == '.')
            return i - 1;
        if (rules.isDelimiter(c))
            break;
    }
    return std::string_view::npos;
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::string extractFileName(std::string_view path, const PathRules& rules) {
    const std::size_t delimiter = lastDelimiter(path, rules);
    return std::string(delimiter == std::string_view::npos ? path : path.substr(delimiter + 1));
}

std::string extractFileExt(std::string_view path, const PathRules& rules) {
    const std::size_t dot = extensionStart(path, rules);
    return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot));
}

std::string extractFilePath(std::string_view path, const PathRules& rules) {
    const std::size_t delimiter = lastDelimiter(path, rules);
    return delimiter == std::string_view::npos ? std::string()
                                               : std::string(path.substr(0, delimiter + 1));
}

std::string extractFileDir(std::string_view path, const PathRules& rules) {
    const std::size_t delimiter = lastDelimiter(path, rules);
    if (delimiter == std::string_view::npos)
        return {};
    std::size_t length = delimiter + 1;
    // A separator right after another delimiter ("C:\", "//") belongs to the root.
    if (delimiter > 0 && path[delimiter] == rules.separator() &&
        !rules.isDelimiter(path[delimiter - 1]))
        --length;
    return std::string(path.substr(0, length));
}

std::string changeFileExt(std::string_view path, std::string_view newExt, const PathRules& rules) {
    const std::size_t dot = extensionStart(path, rules);
    std::string result(dot == std::string_view::npos ? path : path.substr(0, dot));
    result += newExt;
    return result;
}

std::string excludeTrailingDelimiter(std::string_view path, const PathRules& rules) {
    const bool posixRoot = rules.separator() == '/' && path == "/";
    if (!path.empty() && path.back() == rules.separator() && !posixRoot)
        path.remove_suffix(1);
    return std::string(path);
}

bool isAviName(std::string_view path, const PathRules& rules) {
    return equalsIgnoringAsciiCase(extractFileExt(path, rules), ".avi");
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

std::filesystem::path pathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string pathToUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

} // namespace core
