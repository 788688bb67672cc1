#pragma once

#include "cli/FrameChoice.h"
#include "cli/FrameRange.h"
#include "media/FrameRecord.h"

#include <cstdint>
#include <string>
#include <vector>

namespace media {
class Movie;
}

namespace cli {

// What a run needs to know about a movie's length.
struct MovieLength {
    std::string name;               // as given on the command line
    std::int32_t frames = 0;        // present in the file
    std::int32_t claimedFrames = 0; // promised by its header; more than `frames` when cut short
    std::vector<media::FrameRecord> table; // for times and key frames: one record a frame
    double frameRate = 0.0;
    bool truncated = false; // the data end early, whatever the header promised

    static MovieLength of(const std::string& name, const media::Movie& movie);
};

// The frames a run writes, ascending, each once.
class FramePlan {
public:
    // The frames `choice` takes within `range`, whose unset ends are the movie's first and last
    // frame, checked against the movie: UsageError for a frame or time past a whole movie's end
    // (but for the range's end, which is then its last frame, with a notice), ExtractError for
    // one past the cut of a truncated movie or for a movie without frames.
    // Times choose the frames shown then; shots are sought among every frame of the range.
    static FramePlan resolve(const FrameRange& range, const FrameChoice& choice,
                             const MovieLength& movie);

    std::int32_t count() const { return static_cast<std::int32_t>(frames_.size()); }
    std::int32_t frame(std::int32_t index) const {
        return frames_[static_cast<std::size_t>(index)];
    }
    const std::vector<std::int32_t>& frames() const { return frames_; }
    // The frame shown at each of `nanoseconds` (from the first frame), in the order given:
    // the rule of resolve() for times.
    static std::vector<std::int32_t> framesShownAt(const std::vector<std::int64_t>& nanoseconds,
                                                   const MovieLength& movie);

    // Where `frame` stands in the plan, counted from 0; -1 when it is not planned.
    std::int32_t indexOf(std::int32_t frame) const;
    // When the planned frame at `index` starts showing, in whole milliseconds rounded up; 0
    // when the movie's frame table was not given.
    std::int64_t milliseconds(std::int32_t index) const;
    // The planned frames among `chosen` (ascending), with their times.
    FramePlan narrowed(const std::vector<std::int32_t>& chosen) const;
    // What the plan took otherwise than the command line said, for standard error; empty when
    // nothing.
    const std::string& notice() const { return notice_; }

private:
    explicit FramePlan(std::vector<std::int32_t> frames) : frames_(std::move(frames)) {}
    static FramePlan chooseFrames(const FrameRange& range, const FrameChoice& choice,
                                  const MovieLength& movie);

    std::vector<std::int32_t> frames_;
    std::vector<std::int64_t> milliseconds_; // by plan index
    std::string notice_;
};

} // namespace cli
