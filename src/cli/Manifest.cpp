#include "cli/Manifest.h"

#include "cli/JsonText.h"
#include "cli/MovieTask.h"

namespace cli {

namespace {

const char* statusName(FrameOutcome::Status status) {
    switch (status) {
    case FrameOutcome::Status::Written:
        return "written";
    case FrameOutcome::Status::Skipped:
        return "skipped";
    case FrameOutcome::Status::Damaged:
        return "damaged";
    case FrameOutcome::Status::Exists:
        return "exists";
    case FrameOutcome::Status::Planned:
        return "planned";
    }
    return "?";
}

} // namespace

void Manifest::addMovie(const MovieTask& task, const std::vector<media::FrameRecord>& table) {
    Movie movie;
    for (const std::int32_t frame : task.plan().frames())
        movie.records.push_back(table.at(static_cast<std::size_t>(frame)));
    movie.outcomes.resize(movie.records.size());
    std::lock_guard lock(mutex_);
    movies_[&task] = std::move(movie);
}

void Manifest::tell(const MovieTask& task, std::int32_t frame, FrameOutcome outcome) {
    const std::int32_t index = task.plan().indexOf(frame);
    std::lock_guard lock(mutex_);
    const auto found = movies_.find(&task);
    if (found == movies_.end() || index < 0)
        return;
    found->second.outcomes[static_cast<std::size_t>(index)] = std::move(outcome);
    release(task, found->second);
}

void Manifest::finishMovie(const MovieTask& task, const std::string& reason) {
    std::lock_guard lock(mutex_);
    const auto found = movies_.find(&task);
    if (found == movies_.end())
        return;
    Movie& movie = found->second;
    for (std::size_t index = movie.next; index < movie.outcomes.size(); ++index) {
        std::optional<FrameOutcome>& outcome = movie.outcomes[index];
        if (!outcome || task.isPastFailure(task.plan().frame(static_cast<std::int32_t>(index))))
            outcome = FrameOutcome{FrameOutcome::Status::Skipped, {}, reason};
    }
    release(task, movie);
}

bool Manifest::failed() const {
    std::lock_guard lock(mutex_);
    return failed_;
}

// A frame past the movie's failure waits for finishMovie: its file is about to be taken back.
void Manifest::release(const MovieTask& task, Movie& movie) {
    while (movie.next < movie.outcomes.size() && movie.outcomes[movie.next]) {
        const std::int32_t frame = task.plan().frame(static_cast<std::int32_t>(movie.next));
        if (movie.outcomes[movie.next]->status != FrameOutcome::Status::Skipped &&
            task.isPastFailure(frame))
            return;
        writeLine(task, movie, movie.next);
        ++movie.next;
    }
    if (std::fflush(out_) != 0)
        failed_ = true;
}

void Manifest::writeLine(const MovieTask& task, const Movie& movie, std::size_t index) {
    const FrameOutcome& outcome = *movie.outcomes[index];
    const media::FrameRecord& record = movie.records[index];
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, ",\"frame\":%d,\"time\":%.6f,\"key\":%s",
                  task.plan().frame(static_cast<std::int32_t>(index)), record.seconds,
                  record.key ? "true" : "false");
    std::string line = "{\"movie\":" + jsonString(task.name()) + numbers +
                       ",\"file\":" + (outcome.file.empty() ? "null" : jsonString(outcome.file)) +
                       ",\"status\":\"" + statusName(outcome.status) + "\"";
    if (!outcome.reason.empty())
        line += ",\"reason\":" + jsonString(outcome.reason);
    line += "}\n";
    if (std::fputs(line.c_str(), out_) < 0)
        failed_ = true;
}

} // namespace cli
