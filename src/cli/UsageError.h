#pragma once

#include <stdexcept>
#include <string>

namespace cli {

// The command line cannot be carried out as written; the user has to change it.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace cli
