#include "core/ProfileFile.h"

#include "core/AtomicFile.h"
#include "core/Cp932.h"
#include "core/Error.h"
#include "core/Numbers.h"
#include "core/ProfileDocument.h"
#include "core/Utf8.h"

#include <fstream>
#include <iterator>
#include <span>

namespace core {

namespace {

// Far beyond any settings file; a larger file is not ours, and is neither read nor replaced.
constexpr std::uintmax_t largestFile = 16u << 20;

std::string cutValue(std::string_view value) {
    value = value.substr(0, value.find('\0'));
    return std::string(utf8Prefix(value, ProfileFile::maxValueLength));
}

// The platform drops trailing blanks of a default.
std::string cutDefault(std::string_view fallback) {
    const std::size_t last = fallback.find_last_not_of(' ');
    return cutValue(fallback.substr(0, last == std::string_view::npos ? 0 : last + 1));
}

bool holdsLineBreak(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool isWritableEntry(std::string_view section, std::string_view key, std::string_view value) {
    const bool badKey = key.empty() || key.find('=') != std::string_view::npos ||
                        key.starts_with('[') || key.starts_with(';');
    return !badKey && section.find(']') == std::string_view::npos && !holdsLineBreak(section) &&
           !holdsLineBreak(key) && !holdsLineBreak(value);
}

std::string_view trimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

ProfileFile::ProfileFile(std::filesystem::path path) : path_(std::move(path)) {}

std::string ProfileFile::readString(std::string_view section, std::string_view key,
                                    std::string_view fallback) const {
    const std::optional<std::string> text = loadText();
    if (!text)
        return cutDefault(fallback);
    const std::optional<std::string> value =
        ProfileDocument::parse(*text).value(trimBlanks(section), trimBlanks(key));
    return value ? cutValue(*value) : cutDefault(fallback);
}

std::int32_t ProfileFile::readInteger(std::string_view section, std::string_view key,
                                      std::int32_t fallback) const {
    std::string text = readString(section, key, "");
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text = "$" + text.substr(2);
    return strToIntDef(text, fallback);
}

bool ProfileFile::writeString(std::string_view section, std::string_view key,
                              std::string_view value) {
    section = trimBlanks(section);
    key = trimBlanks(key);
    if (!isWritableEntry(section, key, value))
        return false;
    const std::optional<std::string> text = loadText();
    if (!text)
        return false;
    ProfileDocument document = ProfileDocument::parse(*text);
    document.setValue(section, key, value);
    const std::string updated = document.text();
    try {
        writeFileAtomically(
            path_, std::span(reinterpret_cast<const std::uint8_t*>(updated.data()), updated.size()),
            Durability::flushedToDisk);
    } catch (const Error&) {
        return false;
    }
    return true;
}

bool ProfileFile::writeInteger(std::string_view section, std::string_view key, std::int32_t value) {
    return writeString(section, key, intToStr(value));
}

std::optional<std::string> ProfileFile::loadText() const {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path_, error);
    if (!std::filesystem::exists(status))
        return std::string();
    if (!std::filesystem::is_regular_file(status))
        return std::nullopt;
    const std::uintmax_t size = std::filesystem::file_size(path_, error);
    if (error || size > largestFile)
        return std::nullopt;
    std::ifstream stream(path_, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    if (stream.bad() || !stream.is_open())
        return std::nullopt;
    return isValidUtf8(bytes) ? bytes : cp932ToUtf8(bytes);
}

} // namespace core
