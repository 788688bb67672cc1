#include "media/ChunkIndex.h"

#include <algorithm>
#include <limits>

extern "C" {
#include <libavformat/avformat.h>
}

namespace media {

namespace {

// Everything from the first chunk cut short on is gone.
bool isPastTheCut(const AVIndexEntry& entry, std::int64_t fileSize,
                  std::optional<std::int64_t> firstDamaged) {
    return (firstDamaged && entry.timestamp >= *firstDamaged) ||
           (fileSize > 0 && entry.pos + entry.size > fileSize);
}

bool isUsable(const AVIndexEntry& entry) {
    return entry.size > 0 && entry.timestamp >= 0 &&
           entry.timestamp < std::numeric_limits<int>::max();
}

} // namespace

ChunkIndex ChunkIndex::fromStream(const AVStream& stream, std::int64_t fileSize,
                                  std::optional<std::int64_t> firstDamaged) {
    ChunkIndex index;
    auto& mutableStream = const_cast<AVStream&>(stream); // the accessors only read
    const int count = avformat_index_get_entries_count(&mutableStream);
    for (int i = 0; i < count; ++i) {
        const AVIndexEntry* entry = avformat_index_get_entry(&mutableStream, i);
        if (entry == nullptr || isPastTheCut(*entry, fileSize, firstDamaged))
            break;
        if (!isUsable(*entry))
            continue;
        if (!index.timestamps_.empty() && entry->timestamp <= index.timestamps_.back())
            continue;
        if (entry->flags & AVINDEX_KEYFRAME)
            index.keys_.push_back(index.size());
        index.timestamps_.push_back(entry->timestamp);
    }
    // An index that marks no key frame at all: decoding can only start at the beginning.
    if (index.keys_.empty() && !index.empty())
        index.keys_.push_back(0);
    return index;
}

int ChunkIndex::frameCount() const {
    return empty() ? 0 : static_cast<int>(timestamps_.back() + 1);
}

bool ChunkIndex::isKey(int position) const {
    return std::binary_search(keys_.begin(), keys_.end(), position);
}

bool ChunkIndex::hasGaps() const {
    return !empty() && timestamps_.back() - timestamps_.front() + 1 != size();
}

int ChunkIndex::positionOf(std::int64_t timestamp) const {
    const int position = lastAtOrBefore(timestamp);
    return position >= 0 && timestamps_[position] == timestamp ? position : -1;
}

int ChunkIndex::lastAtOrBefore(std::int64_t timestamp) const {
    const auto after = std::upper_bound(timestamps_.begin(), timestamps_.end(), timestamp);
    return static_cast<int>(after - timestamps_.begin()) - 1;
}

int ChunkIndex::lastKeyAtOrBefore(std::int64_t timestamp) const {
    const int position = lastAtOrBefore(timestamp);
    const auto after = std::upper_bound(keys_.begin(), keys_.end(), position);
    return static_cast<int>(after - keys_.begin()) - 1;
}

} // namespace media
