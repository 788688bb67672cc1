#include "cli/MovieTask.h"

#include "core/Paths.h"
#include "media/Movie.h"

#include <algorithm>

namespace cli {

MovieTask::MovieTask(std::string name, std::string outDir, FramePlan plan,
                     std::vector<std::int32_t> keyFrames, std::optional<core::NamePattern> names)
    : name_(std::move(name)), outDir_(std::move(outDir)), plan_(std::move(plan)),
      keyFrames_(std::move(keyFrames)), names_(std::move(names)),
      written_(static_cast<std::size_t>(plan_.count())) {}

MovieTask::~MovieTask() = default;

std::filesystem::path MovieTask::file() const {
    return core::pathFromUtf8(name_);
}

std::int32_t MovieTask::nextKeyFrameAfter(std::int32_t frame) const {
    const auto next = std::upper_bound(keyFrames_.begin(), keyFrames_.end(), frame);
    return next == keyFrames_.end() ? std::numeric_limits<std::int32_t>::max() : *next;
}

void MovieTask::keepOpened(std::unique_ptr<media::Movie> movie) {
    std::lock_guard lock(mutex_);
    opened_ = std::move(movie);
}

std::unique_ptr<media::Movie> MovieTask::takeOpened() {
    std::lock_guard lock(mutex_);
    return std::move(opened_);
}

void MovieTask::fail(std::int32_t frame, const std::string& message) {
    std::lock_guard lock(mutex_);
    if (failure_ && frame >= failedFrame_.load())
        return;
    failure_ = message;
    failedFrame_ = frame;
}

std::optional<std::string> MovieTask::failure() const {
    std::lock_guard lock(mutex_);
    return failure_;
}

} // namespace cli

namespace cli {

void MovieTask::fileWritten(std::int32_t frame) {
    const std::vector<std::int32_t>& frames = plan_.frames();
    const auto at = std::lower_bound(frames.begin(), frames.end(), frame);
    std::lock_guard lock(mutex_);
    if (at != frames.end() && *at == frame)
        written_[static_cast<std::size_t>(at - frames.begin())] = true;
}

std::vector<std::int32_t> MovieTask::writtenPastFailure() const {
    std::vector<std::int32_t> frames;
    std::lock_guard lock(mutex_);
    for (std::size_t index = 0; index < written_.size(); ++index)
        if (written_[index] && isPastFailure(plan_.frames()[index]))
            frames.push_back(plan_.frames()[index]);
    return frames;
}

} // namespace cli
