#pragma once

#include "cli/FramePlan.h"
#include "cli/PngEncoder.h"
#include "core/NamePattern.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace media {
class Movie;
struct MovieIndex;
} // namespace media

namespace cli {

// One movie of a run, shared by the jobs that write its pieces.
class MovieTask {
public:
    // `names`: the pattern of the files' names; unset for <movie>_NNNNN.
    MovieTask(std::string name, std::string outDir, FramePlan plan,
              std::vector<std::int32_t> keyFrames,
              std::optional<core::NamePattern> names = std::nullopt);
    ~MovieTask();
    MovieTask(const MovieTask&) = delete;
    MovieTask& operator=(const MovieTask&) = delete;

    const std::string& name() const { return name_; }
    std::filesystem::path file() const;
    const std::string& outDir() const { return outDir_; }
    const FramePlan& plan() const { return plan_; }
    const std::vector<std::int32_t>& keyFrames() const { return keyFrames_; }
    const std::optional<core::NamePattern>& names() const { return names_; }
    // The first key frame after `frame`; past the last frame when there is none.
    std::int32_t nextKeyFrameAfter(std::int32_t frame) const;

    // A failure that ends the movie: the earliest frame's message is the one kept, and no job
    // goes on past that frame.
    void fail(std::int32_t frame, const std::string& message);
    bool isPastFailure(std::int32_t frame) const { return frame > failedFrame_.load(); }
    // The frame is the failed one or past it.
    bool hasFailedBy(std::int32_t frame) const { return frame >= failedFrame_.load(); }
    std::optional<std::string> failure() const;

    void fileWritten(std::int32_t frame);
    // The frames past a failure that other jobs had written meanwhile: removing their files
    // leaves the folder as a run on one job would.
    std::vector<std::int32_t> writtenPastFailure() const;

    // The movie as opened to plan the run, for the first job to take rather than open it again
    // (at 1080p opening decodes for some 60 ms); nullptr once taken or when none was kept.
    void keepOpened(std::unique_ptr<media::Movie> movie);
    std::unique_ptr<media::Movie> takeOpened();
    // The movie's frame index, built once when it was opened to plan the run, for the jobs that
    // open it again (null where reading the file's own index costs nothing).
    void keepIndex(std::shared_ptr<const media::MovieIndex> index) { index_ = std::move(index); }
    const std::shared_ptr<const media::MovieIndex>& index() const { return index_; }

    // What decoding one of its pictures costs, for the jobs to choose their decoder threads by.
    struct PictureKind {
        std::int64_t area = 0;
        std::string codec;
        bool deep = false;                  // written at 16 bits a channel
        std::optional<CodingPoints> coding; // what its PNG files' cICP chunk says, if anything
    };
    void describePictures(PictureKind kind) { pictures_ = std::move(kind); }
    const PictureKind& pictures() const { return pictures_; }

    void frameMissing() { ++missing_; }
    std::int32_t missingFrames() const { return missing_.load(); }

private:
    std::string name_;
    std::string outDir_;
    FramePlan plan_;
    std::vector<std::int32_t> keyFrames_;
    std::optional<core::NamePattern> names_;
    mutable std::mutex mutex_;
    std::atomic<std::int32_t> failedFrame_{std::numeric_limits<std::int32_t>::max()};
    std::optional<std::string> failure_;
    std::vector<bool> written_; // one flag a planned frame
    std::atomic<std::int32_t> missing_{0};
    std::unique_ptr<media::Movie> opened_;
    std::shared_ptr<const media::MovieIndex> index_; // set before the jobs start, then only read
    PictureKind pictures_;                           // likewise
};

} // namespace cli
