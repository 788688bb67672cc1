#include "core/NamePattern.h"

#include "core/TimeText.h"

#include <algorithm>
#include <stdexcept>

namespace core {

namespace {

constexpr int defaultFrameDigits = 5;
constexpr int maxFrameDigits = 10; // every 32-bit frame number

std::invalid_argument bad(std::string_view pattern, const std::string& why) {
    return std::invalid_argument("the name pattern '" + std::string(pattern) + "' " + why);
}

std::string padded(std::int32_t frame, int width) {
    std::string digits = std::to_string(frame);
    if (static_cast<int>(digits.size()) < width)
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    return digits;
}

} // namespace

NamePattern NamePattern::parse(std::string_view text) {
    if (text.find_first_of("/\\") != std::string_view::npos)
        throw bad(text, "holds a path separator: it names files, the folder is '--out'");
    NamePattern pattern;
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t open = rest.find('{');
        if (const std::size_t close = rest.find('}'); close < open)
            throw bad(text, "has a '}' without its '{'");
        if (open > 0)
            pattern.parts_.push_back({Kind::Text, std::string(rest.substr(0, open)), 0});
        if (open == std::string_view::npos)
            break;
        const std::size_t close = rest.find('}', open);
        if (close == std::string_view::npos)
            throw bad(text, "has a '{' without its '}'");
        const std::string_view field = rest.substr(open + 1, close - open - 1);
        rest.remove_prefix(close + 1);
        if (field == "movie")
            pattern.parts_.push_back({Kind::Movie, {}, 0});
        else if (field == "frame")
            pattern.parts_.push_back({Kind::Frame, {}, defaultFrameDigits});
        else if (field == "time")
            pattern.parts_.push_back({Kind::Time, {}, 0});
        else if (field == "timecode")
            pattern.parts_.push_back({Kind::Timecode, {}, 0});
        else if (field == "index")
            pattern.parts_.push_back({Kind::Index, {}, 0});
        else if (field.starts_with("frame:") && field.size() == 7 && field[6] >= '1' &&
                 field[6] <= '9')
            pattern.parts_.push_back({Kind::Frame, {}, field[6] - '0'});
        else if (field == "frame:10")
            pattern.parts_.push_back({Kind::Frame, {}, maxFrameDigits});
        else
            throw bad(text, "has an unknown field '{" + std::string(field) +
                                "}' (fields: {movie} {frame} {frame:N} with N from 1 to 10, "
                                "{time} {timecode} {index})");
    }
    const bool tellsFramesApart =
        std::any_of(pattern.parts_.begin(), pattern.parts_.end(), [](const Part& part) {
            return part.kind != Kind::Text && part.kind != Kind::Movie;
        });
    if (!tellsFramesApart)
        throw bad(text, "would give every frame the same name: it needs {frame}, {time}, "
                        "{timecode} or {index}");
    return pattern;
}

std::string NamePattern::expand(const Fields& fields) const {
    std::string name;
    for (const Part& part : parts_) {
        switch (part.kind) {
        case Kind::Text:
            name += part.text;
            break;
        case Kind::Movie:
            name += fields.movie;
            break;
        case Kind::Frame:
            name += padded(fields.frame, part.width);
            break;
        case Kind::Time:
            name += formatSeconds(fields.milliseconds);
            break;
        case Kind::Timecode:
            name += formatTimecode(fields.milliseconds);
            break;
        case Kind::Index:
            name += std::to_string(fields.index);
            break;
        }
    }
    return name;
}

bool NamePattern::usesMovie() const {
    return std::any_of(parts_.begin(), parts_.end(),
                       [](const Part& part) { return part.kind == Kind::Movie; });
}

std::string_view NamePattern::extension() const {
    if (parts_.empty() || parts_.back().kind != Kind::Text)
        return {};
    const std::string_view text = parts_.back().text;
    const std::size_t dot = text.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
}

} // namespace core
