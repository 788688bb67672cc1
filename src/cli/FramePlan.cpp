#include "cli/FramePlan.h"

#include "cli/ExtractError.h"
#include "cli/ExtractOptions.h"
#include "cli/UsageError.h"
#include "core/FrameRange.h"

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
    throw UsageError(what + " " + std::to_string(frame) + " lies past the last frame " + last +
                     " of '" + movie.name + "'");
}

} // namespace

FramePlan FramePlan::resolve(const ExtractOptions& options, const MovieLength& movie) {
    if (movie.frames < 1)
        throw ExtractError("'" + movie.name + "' holds no frames");
    if (options.frames) {
        checkWithinMovie(options.frames->highest(), "the listed frame", movie);
        return FramePlan(options.frames->resolve(movie.frames));
    }
    const std::int32_t start = options.start.value_or(0);
    const std::int32_t end = options.end.value_or(movie.frames - 1);
    if (options.end)
        checkWithinMovie(end, "the end frame", movie);
    if (movie.claimedFrames > movie.frames)
        checkWithinMovie(start, "the start frame", movie);
    if (start > end)
        throw UsageError("the start frame " + std::to_string(start) + " lies after the end frame " +
                         std::to_string(end));
    std::vector<std::int32_t> frames(
        static_cast<std::size_t>(core::frameCount(start, end, options.interval)));
    for (std::size_t index = 0; index < frames.size(); ++index)
        // Stays below the end frame by construction, so the 64-bit product fits in 32 bits.
        frames[index] =
            static_cast<std::int32_t>(start + static_cast<std::int64_t>(index) * options.interval);
    return FramePlan(std::move(frames));
}

} // namespace cli
