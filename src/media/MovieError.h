#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace media {

// A movie that cannot be opened or a frame that cannot be fetched. The message names the file
// and, where one is concerned, the frame: "<file>: frame 12: file truncated ...".
class MovieError : public std::runtime_error {
public:
    // The kind of failure, for callers that put it in words of their own.
    enum class Kind {
        Unreadable,  // any failure not named below
        NoSuchFile,  // nothing under that name
        NotAFile,    // a folder, a device
        NotAMovie,   // no container the reader knows, or headers it cannot read
        NoVideo,     // a movie without a video stream
        NoFrames,    // a video stream without a single frame
        Unsupported, // a codec no decoder here reads
        Stopped,     // the caller asked a fetch under way to stop (MovieOptions::stopRequested)
    };

    MovieError(const std::filesystem::path& file, const std::string& reason,
               Kind kind = Kind::Unreadable);
    MovieError(const std::filesystem::path& file, int frame, const std::string& reason,
               Kind kind = Kind::Unreadable);

    // Frame `frame` cannot be trusted: its picture is built on the damaged picture of frame
    // `damaged`.
    static MovieError dependant(const std::filesystem::path& file, int frame, int damaged);

    const std::filesystem::path& file() const { return file_; }
    int frame() const { return frame_; } // -1 when no frame is concerned
    // The damaged frame a dependant() frame is built on; -1 for any other error.
    int dependsOn() const { return dependsOn_; }
    const std::string& reason() const { return reason_; }
    Kind kind() const { return kind_; }

private:
    std::filesystem::path file_;
    int frame_ = -1;
    int dependsOn_ = -1;
    std::string reason_;
    Kind kind_ = Kind::Unreadable;
};

} // namespace media
