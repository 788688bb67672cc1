#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// The text of a profile (INI) file as lines, edited the way the desktop platform edits it:
// changed and added lines only, everything else kept byte for byte. Section and key names match
// ignoring ASCII case; the first matching section and key win.
class ProfileDocument {
public:
    static ProfileDocument parse(std::string_view utf8Text);

    // The value trimmed of blanks, without one pair of enclosing quotes; nullopt when missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // Replaces the key's line, or adds the key at the end of its section, or adds the section
    // at the end of the file. New lines end in CR LF.
    void setValue(std::string_view section, std::string_view key, std::string_view value);
    std::string text() const;

private:
    struct Line {
        std::string content;
        std::string ending; // "\r\n", "\n", or empty for an unterminated last line
    };

    std::optional<std::size_t> findSection(std::string_view section) const;
    std::size_t sectionEnd(std::size_t header) const;
    std::optional<std::size_t> findKey(std::size_t header, std::string_view key) const;
    std::size_t lastFilledLine(std::size_t header) const;
    void insertLine(std::size_t position, std::string content);

    bool hasByteOrderMark_ = false;
    std::vector<Line> lines_;
};

} // namespace core
