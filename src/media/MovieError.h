#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace media {

// A movie that cannot be opened or a frame that cannot be fetched. The message names the file
// and, where one is concerned, the frame: "<file>: frame 12: file truncated ...".
class MovieError : public std::runtime_error {
public:
    MovieError(const std::filesystem::path& file, const std::string& reason);
    MovieError(const std::filesystem::path& file, int frame, const std::string& reason);

    const std::filesystem::path& file() const { return file_; }
    int frame() const { return frame_; } // -1 when no frame is concerned
    const std::string& reason() const { return reason_; }

private:
    std::filesystem::path file_;
    int frame_ = -1;
    std::string reason_;
};

} // namespace media
