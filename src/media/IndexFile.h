#pragma once

#include "media/MovieIndex.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace media {

// A movie's frame index as bytes, to keep beside the user's data or to send to another
// process: opening the movie with it skips the pass over the file. The bytes name the file
// version and the video stream they were made from; they serve no other.
class IndexFile {
public:
    IndexFile(std::shared_ptr<const MovieIndex> index, int stream);

    const std::shared_ptr<const MovieIndex>& index() const { return index_; }
    // The stream choice it was made with (MovieOptions::stream).
    int stream() const { return stream_; }

    std::vector<std::uint8_t> bytes() const;
    // Throws MovieError (kind NotAMovie) for bytes that are no index of ours, cut short or
    // damaged.
    static IndexFile fromBytes(const std::vector<std::uint8_t>& bytes,
                               const std::filesystem::path& movie);

    // Throws MovieError when the file cannot be written whole or read.
    void save(const std::filesystem::path& file) const;
    // Also throws when `movie` has changed since the index was made.
    static IndexFile load(const std::filesystem::path& file, const std::filesystem::path& movie);

private:
    std::shared_ptr<const MovieIndex> index_;
    int stream_ = -1;
};

} // namespace media
