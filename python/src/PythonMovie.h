#pragma once

#include "MovieSettings.h"
#include "core/BgrImage.h"
#include "media/Movie.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <vector>

namespace kirimo {

namespace py = pybind11;

// kirimo.Movie: a media::Movie whose pictures land in NumPy arrays. One thread at a time may use
// it; the others are refused rather than left to corrupt its decoder.
class PythonMovie {
public:
    PythonMovie(MovieSettings settings, std::shared_ptr<const media::MovieIndex> index);

    const MovieSettings& settings() const { return settings_; }
    int length();
    int width();
    int height();
    double fps();
    double duration();
    py::array_t<double> frameTimes();
    py::array_t<std::int64_t> keyFrames();
    py::dict info();

    // An int, a slice, or a sequence or array of ints.
    py::array item(const py::object& key);
    py::array framesPlayedAt(const py::object& seconds);
    py::array framePlayedAt(double seconds);
    py::object frameIndexAt(const py::object& seconds);
    std::vector<std::int32_t> scenes(int sensitivity);
    // The next picture of an iteration from `position`; py::stop_iteration past the end.
    py::array next(int& position);

    // The index bytes a pickle carries; empty where the movie needs none (AVI).
    py::bytes indexBytes();
    void saveIndex(const std::string& file);
    void close();
    bool closed() const { return movie_ == nullptr; }

private:
    class Use;

    media::Movie& movie();
    // Opened in this process: a forked child gets a movie of its own, never its parent's
    // decoder threads.
    void ownMovie();
    // A display matrix may come with the pictures alone: one is decoded before sizes are told.
    void settle();
    int normalised(std::int64_t index);
    std::vector<std::int32_t> indicesOf(const py::object& key);
    py::array fetch(const std::vector<std::int32_t>& frames, bool single);
    void decodeInto(const std::vector<std::int32_t>& frames, std::uint8_t* out,
                    std::size_t frameBytes);
    std::vector<std::int64_t> nanosecondsOf(const py::object& seconds);
    const std::vector<media::FrameRecord>& table();

    MovieSettings settings_;
    std::shared_ptr<const media::MovieIndex> index_;
    std::unique_ptr<media::Movie> movie_;
    long owner_ = 0; // the process that opened movie_
    bool settled_ = false;
    std::vector<media::FrameRecord> table_;
    core::BgrImage scratch_;
    std::atomic<bool> busy_{false};
};

} // namespace kirimo
