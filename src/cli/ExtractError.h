#pragma once

#include <stdexcept>
#include <string>

namespace cli {

// A run that started could not finish: a frame could not be read or a file not written.
class ExtractError : public std::runtime_error {
public:
    explicit ExtractError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace cli
