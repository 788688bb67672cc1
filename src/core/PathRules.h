#pragma once

#include <string_view>

namespace core {

// Which characters split a path: backslash and colon as on Windows, or the slash alone.
class PathRules {
public:
    static PathRules windows();
    static PathRules posix();
    static PathRules native();

    bool isDelimiter(char c) const;
    char separator() const { return separator_; }
    std::string_view delimiters() const { return delimiters_; }

private:
    PathRules(std::string_view delimiters, char separator)
        : delimiters_(delimiters), separator_(separator) {}

    std::string_view delimiters_;
    char separator_;
};

} // namespace core
