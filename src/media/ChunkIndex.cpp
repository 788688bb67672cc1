#include "media/ChunkIndex.h"

#include <algorithm>
#include <limits>
#include <numeric>

extern "C" {
#include <libavformat/avformat.h>
}

namespace media {

namespace {

// Everything from the first chunk cut short on is gone. A damaged OpenDML index can place a
// chunk near the top of the position range, where adding its size would overflow; a negative
// size (an unusable entry) would overflow the subtraction.
bool isPastTheCut(const AVIndexEntry& entry, std::int64_t fileSize,
                  std::optional<std::int64_t> firstDamaged) {
    return (firstDamaged && entry.timestamp >= *firstDamaged) ||
           (fileSize > 0 && entry.size >= 0 && entry.pos > fileSize - entry.size);
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
        index.sizes_.push_back(entry->size);
        index.offsets_.push_back(entry->pos);
    }
    for (int position = 0; position < index.size(); ++position)
        index.byOffset_.emplace_back(index.offsets_[position], position);
    std::sort(index.byOffset_.begin(), index.byOffset_.end());
    // Decoding can always start at the beginning, whether or not the index marks it.
    if (!index.empty() && (index.keys_.empty() || index.keys_.front() != 0))
        index.keys_.insert(index.keys_.begin(), 0);
    return index;
}

void ChunkIndex::shiftTimestamps(std::int64_t shift) {
    for (std::int64_t& timestamp : timestamps_)
        timestamp -= shift;
}

void ChunkIndex::makeAllKeys() {
    keys_.resize(timestamps_.size());
    std::iota(keys_.begin(), keys_.end(), 0);
}

void ChunkIndex::setKeys(const std::vector<std::int64_t>& timestamps) {
    keys_.assign(1, 0);
    for (const std::int64_t timestamp : timestamps) {
        const int position = positionOf(timestamp);
        if (position > keys_.back())
            keys_.push_back(position);
    }
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

int ChunkIndex::positionAt(std::int64_t offset) const {
    const auto found = std::lower_bound(byOffset_.begin(), byOffset_.end(), std::pair{offset, 0});
    return found != byOffset_.end() && found->first == offset ? found->second : -1;
}

int ChunkIndex::lastKeyAtOrBefore(std::int64_t timestamp) const {
    const int position = lastAtOrBefore(timestamp);
    const auto after = std::upper_bound(keys_.begin(), keys_.end(), position);
    return static_cast<int>(after - keys_.begin()) - 1;
}

} // namespace media
