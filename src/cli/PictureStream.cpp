#include "cli/PictureStream.h"

#include "cli/MovieTask.h"
#include "cli/StopSignals.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace cli {

namespace {

// About forty 1080p bitmaps: enough for the jobs ahead of the stream to keep decoding.
constexpr std::size_t mostBytesHeld = std::size_t{256} << 20;

} // namespace

void PictureStream::addMovie(const MovieTask& task) {
    std::lock_guard lock(mutex_);
    movies_.push_back({&task, places_});
    places_ += static_cast<std::size_t>(task.plan().count());
}

void PictureStream::send(const MovieTask& task, std::int32_t frame,
                         std::vector<std::uint8_t> bytes) {
    const std::size_t place = placeOf(task, frame);
    std::unique_lock lock(mutex_);
    hold(place, std::move(bytes));
    // A job whose movie failed, or a stop, never wakes the waiters: look again now and then.
    while (heldBytes_ > mostBytesHeld && held_.contains(place) && !closed() && failure_.empty())
        if (!changed_.wait_for(lock, std::chrono::milliseconds(50), [&] { return next_ > place; }))
            writeReady();
}

void PictureStream::pass(const MovieTask& task, std::int32_t frame) {
    const std::size_t place = placeOf(task, frame);
    std::lock_guard lock(mutex_);
    hold(place, std::nullopt);
}

std::string PictureStream::failure() const {
    std::lock_guard lock(mutex_);
    return failure_;
}

std::size_t PictureStream::placeOf(const MovieTask& task, std::int32_t frame) const {
    std::lock_guard lock(mutex_);
    const auto movie = std::find_if(movies_.begin(), movies_.end(),
                                    [&task](const Movie& movie) { return movie.task == &task; });
    return movie->first + static_cast<std::size_t>(task.plan().indexOf(frame));
}

PictureStream::Place PictureStream::placeAt(std::size_t place) const {
    const auto movie = std::find_if(movies_.rbegin(), movies_.rend(),
                                    [place](const Movie& movie) { return movie.first <= place; });
    return {movie->task,
            movie->task->plan().frame(static_cast<std::int32_t>(place - movie->first))};
}

bool PictureStream::isGivenUp(std::size_t place) const {
    if (StopSignals::received() != 0)
        return true;
    const Place at = placeAt(place);
    return at.task->hasFailedBy(at.frame);
}

// A place already out (given up earlier, or sent twice) takes nothing more.
void PictureStream::hold(std::size_t place, std::optional<std::vector<std::uint8_t>> bytes) {
    if (place < next_ || closed() || held_.contains(place))
        return;
    heldBytes_ += bytes ? bytes->size() : 0;
    held_.emplace(place, std::move(bytes));
    writeReady();
}

void PictureStream::writeReady() {
    const std::size_t before = next_;
    while (next_ < places_) {
        const auto held = held_.find(next_);
        if (held != held_.end()) {
            if (held->second) {
                heldBytes_ -= held->second->size();
                if (!isGivenUp(next_))
                    write(*held->second);
            }
            held_.erase(held);
        } else if (!isGivenUp(next_)) {
            break;
        }
        ++next_;
    }
    if (next_ != before)
        changed_.notify_all();
}

void PictureStream::write(const std::vector<std::uint8_t>& bytes) {
    if (closed() || !failure_.empty())
        return;
    if (std::fwrite(bytes.data(), 1, bytes.size(), out_) == bytes.size() && std::fflush(out_) == 0)
        return;
    if (errno == EPIPE)
        closed_ = true;
    else
        failure_ = std::string("cannot write to standard output: ") + std::strerror(errno);
}

} // namespace cli
