#pragma once

#include "cli/FrameOutcome.h"
#include "media/FrameRecord.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace cli {

class MovieTask;

// One JSON line a planned frame, each movie's in frame order, from any thread. A line leaves
// (flushed) only once every earlier frame of its movie has been told, and an outcome is told only
// once its file is in place, so a reader following the file never meets a frame before its file.
class Manifest {
public:
    explicit Manifest(std::FILE* out) : out_(out) {}

    // Before any outcome of the movie is told; `table` gives its frames' times and key flags.
    void addMovie(const MovieTask& task, const std::vector<media::FrameRecord>& table);
    void tell(const MovieTask& task, std::int32_t frame, FrameOutcome outcome);
    // Every frame of the movie not yet out leaves as skipped for `reason`; so does a frame past
    // the movie's failure, whose file the run took back.
    void finishMovie(const MovieTask& task, const std::string& reason);
    // A line could not be written (a full disk, a closed pipe).
    bool failed() const;

private:
    struct Movie {
        std::vector<media::FrameRecord> records; // by plan index
        std::vector<std::optional<FrameOutcome>> outcomes;
        std::size_t next = 0; // the first plan index not yet out
    };

    void release(const MovieTask& task, Movie& movie);
    void writeLine(const MovieTask& task, const Movie& movie, std::size_t index);

    std::FILE* out_;
    mutable std::mutex mutex_;
    std::map<const MovieTask*, Movie> movies_;
    bool failed_ = false;
};

} // namespace cli
