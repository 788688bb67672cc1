#include "cli/FramePlan.h"

#include "cli/ExtractError.h"
#include "cli/FrameClock.h"
#include "cli/UsageError.h"
#include "core/FrameRange.h"
#include "media/Movie.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <string>

namespace cli {

namespace {

void checkWithinMovie(std::int32_t frame, const std::string& what, const MovieLength& movie) {
    if (frame < movie.frames)
        return;
    const std::string last = std::to_string(movie.frames - 1);
    if (frame < movie.claimedFrames)
        throw ExtractError("'" + movie.name + "' is truncated: its header promises " +
                           std::to_string(movie.claimedFrames) +
                           " frames but the data end after frame " + last + ", so " + what + " " +
                           std::to_string(frame) + " is missing");
    // Data that end early lose frames a whole movie would have had: the movie's fault.
    if (movie.truncated)
        throw ExtractError("'" + movie.name + "' is truncated: its data end after frame " + last +
                           ", so " + what + " " + std::to_string(frame) + " is missing");
    throw UsageError(what + " " + std::to_string(frame) + " lies past the last frame " + last +
                     " of '" + movie.name + "'");
}

// Nanoseconds as seconds, with as many decimals as they need and three at least.
std::string secondsText(std::int64_t nanoseconds) {
    char text[48];
    std::snprintf(text, sizeof text, "%" PRId64 ".%09" PRId64, nanoseconds / 1'000'000'000,
                  nanoseconds % 1'000'000'000);
    std::string result = text;
    while (result.ends_with('0') && result.size() - result.find('.') > 4)
        result.pop_back();
    return result + " s";
}

std::int32_t frameAtTime(std::int64_t time, const std::string& what, const FrameClock& clock,
                         const MovieLength& movie) {
    if (time <= clock.end())
        return clock.frameAt(time);
    const std::string where = "the end of its last frame " + std::to_string(movie.frames - 1) +
                              " at " + secondsText(clock.end());
    if (movie.claimedFrames > movie.frames)
        throw ExtractError("'" + movie.name + "' is truncated: its header promises " +
                           std::to_string(movie.claimedFrames) + " frames but the data end at " +
                           where + ", so " + what + " " + secondsText(time) + " is missing");
    if (movie.truncated)
        throw ExtractError("'" + movie.name + "' is truncated: its data end at " + where + ", so " +
                           what + " " + secondsText(time) + " is missing");
    throw UsageError(what + " " + secondsText(time) + " lies past " + where + " of '" + movie.name +
                     "'");
}

// The first whole multiple of `step` at or after `time`.
std::int64_t multipleFrom(std::int64_t time, std::int64_t step) {
    return (time + step - 1) / step;
}

// The frames shown at 0, D, 2D, ... from `from` on, each once; an instant past `until` or the
// movie's end, or one showing a frame past `last`, ends the run. Walks frames, not instants, so
// a tiny D costs no more than the frames it reaches.
std::vector<std::int32_t> framesEvery(std::int64_t step, std::int64_t from, std::int64_t until,
                                      std::int32_t last, const FrameClock& clock) {
    std::vector<std::int32_t> frames;
    for (std::int64_t k = multipleFrom(from, step);;) {
        const __int128 instant = static_cast<__int128>(k) * step;
        if (instant >= clock.end() || instant > until)
            break;
        const std::int32_t frame = clock.frameAt(static_cast<std::int64_t>(instant));
        if (frame > last)
            break;
        frames.push_back(frame);
        if (frame + 1 >= clock.frameCount())
            break;
        k = std::max(k + 1, multipleFrom(clock.startOf(frame + 1), step));
    }
    return frames;
}

// In the order given, repeats kept.
std::vector<std::int32_t> shownAt(const std::vector<std::int64_t>& times, const FrameClock& clock,
                                  const MovieLength& movie) {
    std::vector<std::int32_t> frames;
    frames.reserve(times.size());
    for (const std::int64_t time : times)
        frames.push_back(frameAtTime(time, "the time", clock, movie));
    return frames;
}

std::vector<std::int32_t> framesAt(const std::vector<std::int64_t>& times, const FrameClock& clock,
                                   const MovieLength& movie) {
    std::vector<std::int32_t> frames = shownAt(times, clock, movie);
    std::sort(frames.begin(), frames.end());
    frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
    return frames;
}

// The first and last frame of the range, checked against the movie.
struct Stretch {
    std::int32_t start = 0;
    std::int32_t end = 0;
    std::string notice; // an end past the movie's, taken as its last frame
};

// One command line serves movies of different lengths: an end past a whole movie's is its last
// frame. A truncated movie lacks frames it promised, so reaching past its cut stays an error.
Stretch endOf(const FrameRange& range, const FrameClock& clock, const MovieLength& movie) {
    const std::int32_t last = movie.frames - 1;
    const std::string lastFrame = "the last frame, " + std::to_string(last);
    if (const std::optional<std::int64_t> endTime = range.endTime()) {
        if (*endTime <= clock.end() || movie.claimedFrames > movie.frames)
            return {.end = frameAtTime(*endTime, "the end time", clock, movie), .notice = {}};
        return {.end = last,
                .notice = "'" + movie.name + "': --end " + secondsText(*endTime) +
                          " is past the end; taking " + lastFrame};
    }
    const std::optional<std::int32_t> endFrame = range.endFrame();
    if (!endFrame)
        return {.end = last, .notice = {}};
    if (*endFrame <= last || *endFrame < movie.claimedFrames) {
        checkWithinMovie(*endFrame, "the end frame", movie);
        return {.end = *endFrame, .notice = {}};
    }
    return {.end = last,
            .notice = "'" + movie.name + "': --end " + std::to_string(*endFrame) +
                      " is past the end; taking " + lastFrame};
}

Stretch stretchOf(const FrameRange& range, const FrameClock& clock, const MovieLength& movie) {
    Stretch stretch = endOf(range, clock, movie);
    const std::optional<std::int64_t> startTime = range.startTime();
    stretch.start = startTime ? frameAtTime(*startTime, "the start time", clock, movie)
                              : range.startFrame().value_or(0);
    if (movie.claimedFrames > movie.frames)
        checkWithinMovie(stretch.start, "the start frame", movie);
    if (stretch.start > stretch.end)
        throw UsageError("the start frame " + std::to_string(stretch.start) +
                         " lies after the end frame " + std::to_string(stretch.end));
    return stretch;
}

std::vector<std::int32_t> keyFramesWithin(Stretch stretch, const FrameClock& clock) {
    std::vector<std::int32_t> frames;
    for (std::int32_t frame = stretch.start; frame <= stretch.end; ++frame)
        if (clock.isKey(frame))
            frames.push_back(frame);
    return frames;
}

std::vector<std::int32_t> framesStepping(Stretch stretch, std::int32_t interval) {
    std::vector<std::int32_t> frames(
        static_cast<std::size_t>(core::frameCount(stretch.start, stretch.end, interval)));
    for (std::size_t index = 0; index < frames.size(); ++index)
        // Stays below the end frame by construction, so the 64-bit product fits in 32 bits.
        frames[index] =
            static_cast<std::int32_t>(stretch.start + static_cast<std::int64_t>(index) * interval);
    return frames;
}

std::vector<std::int32_t> framesWithin(const Stretch& stretch, const FrameRange& range,
                                       const FrameChoice& choice, const FrameClock& clock) {
    if (const EveryDuration* every = std::get_if<EveryDuration>(&choice))
        return framesEvery(every->nanoseconds,
                           range.startTime().value_or(clock.startOf(stretch.start)),
                           range.endTime().value_or(clock.end()), stretch.end, clock);
    if (std::holds_alternative<KeyFrames>(choice))
        return keyFramesWithin(stretch, clock);
    const EveryNthFrame* everyNth = std::get_if<EveryNthFrame>(&choice);
    return framesStepping(stretch, everyNth ? everyNth->interval : 1);
}

} // namespace

FramePlan FramePlan::resolve(const FrameRange& range, const FrameChoice& choice,
                             const MovieLength& movie) {
    FramePlan plan = chooseFrames(range, choice, movie);
    if (static_cast<std::int32_t>(movie.table.size()) == movie.frames) {
        const FrameClock clock(movie.table, movie.frameRate);
        for (const std::int32_t frame : plan.frames_)
            plan.milliseconds_.push_back(clock.millisecondsOf(frame));
    }
    return plan;
}

std::int32_t FramePlan::indexOf(std::int32_t frame) const {
    const auto at = std::lower_bound(frames_.begin(), frames_.end(), frame);
    return at != frames_.end() && *at == frame ? static_cast<std::int32_t>(at - frames_.begin())
                                               : -1;
}

std::int64_t FramePlan::milliseconds(std::int32_t index) const {
    return milliseconds_.empty() ? 0 : milliseconds_[static_cast<std::size_t>(index)];
}

FramePlan FramePlan::narrowed(const std::vector<std::int32_t>& chosen) const {
    FramePlan plan({});
    plan.notice_ = notice_;
    for (const std::int32_t frame : chosen)
        if (const std::int32_t index = indexOf(frame); index >= 0) {
            plan.frames_.push_back(frame);
            if (!milliseconds_.empty())
                plan.milliseconds_.push_back(milliseconds(index));
        }
    return plan;
}

MovieLength MovieLength::of(const std::string& name, const media::Movie& movie) {
    return {name,
            movie.frameCount(),
            movie.claimedFrameCount(),
            movie.frameTable(),
            movie.frameRate(),
            movie.isTruncated()};
}

std::vector<std::int32_t> FramePlan::framesShownAt(const std::vector<std::int64_t>& nanoseconds,
                                                   const MovieLength& movie) {
    if (movie.frames < 1)
        throw ExtractError("'" + movie.name + "' holds no frames");
    return shownAt(nanoseconds, FrameClock(movie.table, movie.frameRate), movie);
}

FramePlan FramePlan::chooseFrames(const FrameRange& range, const FrameChoice& choice,
                                  const MovieLength& movie) {
    if (movie.frames < 1)
        throw ExtractError("'" + movie.name + "' holds no frames");
    if (const FrameList* listed = std::get_if<FrameList>(&choice)) {
        checkWithinMovie(listed->highest(), "the listed frame", movie);
        return FramePlan(listed->resolve(movie.frames));
    }
    const FrameClock clock(movie.table, movie.frameRate);
    if (const AtTimes* at = std::get_if<AtTimes>(&choice))
        return FramePlan(framesAt(at->nanoseconds, clock, movie));
    const Stretch stretch = stretchOf(range, clock, movie);
    FramePlan plan(framesWithin(stretch, range, choice, clock));
    plan.notice_ = stretch.notice;
    return plan;
}

} // namespace cli
