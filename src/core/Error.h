#pragma once

#include <stdexcept>
#include <string>

namespace core {

// Base of every error the core raises; what() is UTF-8 text a user can act on.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

} // namespace core
