#pragma once

#include <stdexcept>
#include <string>

namespace cli {

// A run that started could not finish: a frame could not be read or a file not written.
class ExtractError : public std::runtime_error {
public:
    explicit ExtractError(const std::string& message, int frame = -1)
        : std::runtime_error(message), frame_(frame) {}

    int frame() const { return frame_; } // -1 when no frame is concerned

private:
    int frame_;
};

} // namespace cli
