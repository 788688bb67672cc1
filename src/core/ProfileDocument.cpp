#include "core/ProfileDocument.h"

#include "core/Paths.h"

namespace core {

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view newLine = "\r\n";
constexpr std::string_view blanks = " \t\r\v\f";

std::string_view trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::optional<std::string_view> sectionName(std::string_view line) {
    const std::string_view text = trim(line);
    if (!text.starts_with('['))
        return std::nullopt;
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return trim(text.substr(1, close - 1));
}

// The key of a "key=value" line; comments, headers and lines without "=" have none.
std::optional<std::string_view> keyName(std::string_view line) {
    const std::string_view text = trim(line);
    const std::size_t equals = text.find('=');
    if (text.starts_with(';') || text.starts_with('[') || equals == std::string_view::npos)
        return std::nullopt;
    return trim(text.substr(0, equals));
}

std::string_view valueText(std::string_view line) {
    std::string_view value = trim(line.substr(line.find('=') + 1));
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    if (quoted)
        value = value.substr(1, value.size() - 2);
    return value;
}

} // namespace

ProfileDocument ProfileDocument::parse(std::string_view utf8Text) {
    ProfileDocument document;
    if (utf8Text.starts_with(byteOrderMark)) {
        document.hasByteOrderMark_ = true;
        utf8Text.remove_prefix(byteOrderMark.size());
    }
    while (!utf8Text.empty()) {
        const std::size_t feed = utf8Text.find('\n');
        std::string_view content = utf8Text.substr(0, feed);
        Line line;
        if (feed != std::string_view::npos) {
            const bool crlf = content.ends_with('\r');
            if (crlf)
                content.remove_suffix(1);
            line.ending = crlf ? "\r\n" : "\n";
        }
        line.content = content;
        document.lines_.push_back(std::move(line));
        utf8Text.remove_prefix(feed == std::string_view::npos ? utf8Text.size() : feed + 1);
    }
    return document;
}

std::optional<std::string> ProfileDocument::value(std::string_view section,
                                                  std::string_view key) const {
    const std::optional<std::size_t> header = findSection(section);
    if (!header)
        return std::nullopt;
    const std::optional<std::size_t> line = findKey(*header, key);
    if (!line)
        return std::nullopt;
    return std::string(valueText(lines_[*line].content));
}

void ProfileDocument::setValue(std::string_view section, std::string_view key,
                               std::string_view value) {
    const std::optional<std::size_t> header = findSection(section);
    if (!header) {
        insertLine(lines_.size(), "[" + std::string(section) + "]");
        insertLine(lines_.size(), std::string(key) + "=" + std::string(value));
        return;
    }
    if (const std::optional<std::size_t> line = findKey(*header, key)) {
        std::string& content = lines_[*line].content;
        content = std::string(*keyName(content)) + "=" + std::string(value);
        return;
    }
    insertLine(lastFilledLine(*header) + 1, std::string(key) + "=" + std::string(value));
}

std::string ProfileDocument::text() const {
    std::string text(hasByteOrderMark_ ? byteOrderMark : std::string_view());
    for (const Line& line : lines_) {
        text += line.content;
        text += line.ending;
    }
    return text;
}

std::optional<std::size_t> ProfileDocument::findSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const std::optional<std::string_view> name = sectionName(lines_[i].content);
        if (name && equalsIgnoringAsciiCase(*name, section))
            return i;
    }
    return std::nullopt;
}

std::size_t ProfileDocument::sectionEnd(std::size_t header) const {
    std::size_t end = header + 1;
    while (end < lines_.size() && !sectionName(lines_[end].content))
        ++end;
    return end;
}

std::optional<std::size_t> ProfileDocument::findKey(std::size_t header,
                                                    std::string_view key) const {
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        const std::optional<std::string_view> name = keyName(lines_[i].content);
        if (name && equalsIgnoringAsciiCase(*name, key))
            return i;
    }
    return std::nullopt;
}

// Blank lines that close a section keep separating it from the next one.
std::size_t ProfileDocument::lastFilledLine(std::size_t header) const {
    std::size_t last = sectionEnd(header) - 1;
    while (last > header && trim(lines_[last].content).empty())
        --last;
    return last;
}

void ProfileDocument::insertLine(std::size_t position, std::string content) {
    if (position > 0 && lines_[position - 1].ending.empty())
        lines_[position - 1].ending = newLine;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(position),
                  Line{std::move(content), std::string(newLine)});
}

} // namespace core
