#include "cli/FramePlan.h"

#include "cli/ExtractError.h"
#include "cli/ExtractOptions.h"
#include "cli/UsageError.h"
#include "core/FrameRange.h"

#include <string>

namespace cli {

FramePlan FramePlan::resolve(const ExtractOptions& options, std::int32_t movieFrames) {
    if (movieFrames < 1)
        throw ExtractError("'" + options.movie + "' holds no frames");
    const std::int32_t last = movieFrames - 1;
    const std::int32_t start = options.start.value_or(0);
    const std::int32_t end = options.end.value_or(last);
    if (end > last)
        throw UsageError("the end frame " + std::to_string(end) + " lies past the last frame " +
                         std::to_string(last) + " of '" + options.movie + "'");
    if (start > end)
        throw UsageError("the start frame " + std::to_string(start) + " lies after the end frame " +
                         std::to_string(end));
    return FramePlan(start, options.interval, core::frameCount(start, end, options.interval));
}

std::int32_t FramePlan::frame(std::int32_t index) const {
    // Stays below the end frame by construction, so the 64-bit product fits back into 32 bits.
    return static_cast<std::int32_t>(start_ + static_cast<std::int64_t>(index) * interval_);
}

} // namespace cli
