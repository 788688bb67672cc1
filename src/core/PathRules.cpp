#include "core/PathRules.h"

namespace core {

PathRules PathRules::windows() {
    return PathRules("\\:", '\\');
}

PathRules PathRules::posix() {
    return PathRules("/", '/');
}

PathRules PathRules::native() {
#ifdef _WIN32
    return windows();
#else
    return posix();
#endif
}

bool PathRules::isDelimiter(char c) const {
    return delimiters_.find(c) != std::string_view::npos;
}

} // namespace core
