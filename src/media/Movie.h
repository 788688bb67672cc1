#pragma once

#include "core/BgrImage.h"
#include "media/FileVersion.h"
#include "media/FrameRecord.h"
#include "media/MovieError.h"
#include "media/MovieOptions.h"
#include "media/PictureColour.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace media {

class FrameSource;

// A movie whose frames are fetched by number (0-based, display order) as 24-bit BGR
// pictures. Reading on from the last frame decodes on; a jump seeks to the key frame at or
// before the wanted one. Memory stays flat in the length of the movie.
class Movie {
public:
    explicit Movie(const std::filesystem::path& file,
                   MovieOptions options = {}); // throws MovieError
    ~Movie();
    Movie(Movie&&) noexcept;
    Movie& operator=(Movie&&) noexcept;

    int frameCount() const;
    int width() const;
    int height() const;
    double frameRate() const;
    const std::filesystem::path& file() const;
    bool isPalettised() const;
    // The colour matrix, range, primaries and transfer, each declared or assumed.
    PictureColour colour() const;
    // The demuxer's short name for the container ("avi") and the codec's ("mjpeg").
    std::string containerName() const;
    std::string codecName() const;
    // The count the file's header promises (0 when it has none), and whether the data ends
    // before that: frameCount() then counts only the frames present.
    int claimedFrameCount() const;
    bool isTruncated() const;
    // Every frame in display order, from the container's tables alone.
    std::vector<FrameRecord> frameTable() const;

    // Throws MovieError: frame out of range, decode failure, file truncated.
    core::BgrImage frame(int n);
    // As frame(), reusing the buffer of `out`.
    void frameInto(int n, core::BgrImage& out);

    // Decodes from now on as `options` say: a movie opened to be looked at can go on to be
    // extracted without being opened again. Another thread count takes a new decoder.
    void changeOptions(const MovieOptions& options);

private:
    std::unique_ptr<FrameSource> source_; // the engine for the movie's container
    std::optional<FileVersion> opened_;   // the file as it was when opened
};

} // namespace media
