#include "cli/FrameClock.h"

#include <algorithm>
#include <cmath>

namespace cli {

FrameClock::FrameClock(std::vector<media::FrameRecord> table, double frameRate)
    : table_(std::move(table)) {
    if (table_.empty())
        return;
    const std::int64_t last = startOf(frameCount() - 1);
    if (frameCount() > 1)
        end_ = last + (last - startOf(frameCount() - 2));
    else if (frameRate > 0.0 && std::isfinite(frameRate))
        end_ = last + static_cast<std::int64_t>(std::ceil(1e9 / frameRate));
    else
        end_ = last;
}

std::int32_t FrameClock::frameAt(std::int64_t nanoseconds) const {
    const auto after = std::partition_point(
        table_.begin(), table_.end(), [nanoseconds](const media::FrameRecord& record) {
            return record.timeBase.atOrBefore(record.ticks, nanoseconds);
        });
    return std::max<std::int32_t>(0, static_cast<std::int32_t>(after - table_.begin()) - 1);
}

std::int64_t FrameClock::startOf(std::int32_t n) const {
    const media::FrameRecord& record = table_[static_cast<std::size_t>(n)];
    return record.timeBase.nanosecondsUp(record.ticks);
}

std::int64_t FrameClock::millisecondsOf(std::int32_t n) const {
    const media::FrameRecord& record = table_[static_cast<std::size_t>(n)];
    return record.timeBase.millisecondsUp(record.ticks);
}

} // namespace cli
