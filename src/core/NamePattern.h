#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// A file name made of text and fields: {movie} (the movie's name without folder and extension),
// {frame} (five digits at least), {frame:N} (N digits at least), {time} (seconds with
// milliseconds, "12.480"), {timecode} ("00-01-23.480") and {index} (1, 2, 3, ... in the order
// written). The extension is not part of it.
class NamePattern {
public:
    struct Fields {
        std::string_view movie;
        std::int32_t frame = 0;
        std::int64_t milliseconds = 0;
        std::int64_t index = 1;
    };

    // Throws std::invalid_argument saying what is wrong: an unknown or unclosed field, a
    // pattern that names no field telling frames apart ({frame}, {time}, {timecode},
    // {index}), or one holding a path separator (slash or backslash, on every system alike).
    static NamePattern parse(std::string_view text);

    std::string expand(const Fields& fields) const;
    bool usesMovie() const;
    // What follows the last dot of the text the pattern ends in ("png" of "{frame}.png"); empty
    // when it ends in a field or in text without a dot.
    std::string_view extension() const;

private:
    enum class Kind { Text, Movie, Frame, Time, Timecode, Index };
    struct Part {
        Kind kind = Kind::Text;
        std::string text; // Text only
        int width = 0;    // Frame only
    };

    std::vector<Part> parts_;
};

} // namespace core
