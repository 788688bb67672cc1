#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace cli {

class MovieTask;

// The pictures of a run, one after another on one stream (standard output), movies in the order
// given and each movie's frames in order, whichever job made them. A picture made ahead of its
// turn waits in memory; a job that has made too many ahead waits for the earlier ones.
class PictureStream {
public:
    explicit PictureStream(std::FILE* out) : out_(out) {}

    // Every movie, in the run's order, before any picture.
    void addMovie(const MovieTask& task);
    void send(const MovieTask& task, std::int32_t frame, std::vector<std::uint8_t> bytes);
    // A frame that sends nothing (damaged, or skipped for leaning on a damaged one).
    void pass(const MovieTask& task, std::int32_t frame);
    // The reader went away (a closed pipe): the run has nothing left to do.
    bool closed() const { return closed_.load(); }
    // Writing failed otherwise; empty while it has not.
    std::string failure() const;

private:
    struct Movie {
        const MovieTask* task;
        std::size_t first; // its first frame's place in the stream
    };
    struct Place {
        const MovieTask* task;
        std::int32_t frame;
    };

    std::size_t placeOf(const MovieTask& task, std::int32_t frame) const;
    Place placeAt(std::size_t place) const;
    // Nothing will come for `place`: its movie failed at or before it, or the run is stopping.
    bool isGivenUp(std::size_t place) const;
    void hold(std::size_t place, std::optional<std::vector<std::uint8_t>> bytes);
    void writeReady();
    void write(const std::vector<std::uint8_t>& bytes);

    std::FILE* out_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Movie> movies_;
    std::size_t places_ = 0;
    std::size_t next_ = 0; // the first place not yet out
    std::map<std::size_t, std::optional<std::vector<std::uint8_t>>> held_;
    std::size_t heldBytes_ = 0;
    std::atomic<bool> closed_{false};
    std::string failure_;
};

} // namespace cli
