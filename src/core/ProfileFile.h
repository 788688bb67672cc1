#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace core {

// A settings file in the desktop platform's profile (INI) format. Every call opens the file
// afresh. Written as UTF-8 with CR LF line ends; a file in code page 932 is still read (and is
// converted to UTF-8 when next written, so one file never mixes two encodings).
class ProfileFile {
public:
    // Values come back cut to this many characters, as through the platform's 2048-byte buffer.
    static constexpr std::size_t maxValueLength = 2047;

    explicit ProfileFile(std::filesystem::path path);

    const std::filesystem::path& path() const { return path_; }

    // The value, or the default when the file, section or key is missing or unreadable.
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;
    // "0x1F" and "$1F" are hexadecimal, otherwise decimal; empty or malformed: the default.
    std::int32_t readInteger(std::string_view section, std::string_view key,
                             std::int32_t fallback) const;
    // Creates the file on first write and replaces it atomically. False when the file or its
    // folder is read-only or missing, or when a name or value holds a line break (it would
    // corrupt the file).
    bool writeString(std::string_view section, std::string_view key, std::string_view value);
    bool writeInteger(std::string_view section, std::string_view key, std::int32_t value);

private:
    // UTF-8 text; empty for a missing file, nullopt for one that cannot be used.
    std::optional<std::string> loadText() const;

    std::filesystem::path path_;
};

} // namespace core
