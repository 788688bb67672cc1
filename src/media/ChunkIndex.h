#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

struct AVStream;

namespace media {

// The video chunks of an AVI file in stored (decode) order, from the demuxer's index. A chunk's
// time stamp counts frames, dropped ones included, so a gap between time stamps is a run of
// zero-size chunks: frames that repeat the picture before them.
class ChunkIndex {
public:
    ChunkIndex() = default;
    // The chunks lying wholly inside the first `fileSize` bytes and before the time stamp
    // `firstDamaged` (the first chunk cut short), if there is one.
    static ChunkIndex fromStream(const AVStream& stream, std::int64_t fileSize,
                                 std::optional<std::int64_t> firstDamaged);

    bool empty() const { return timestamps_.empty(); }
    int size() const { return static_cast<int>(timestamps_.size()); }
    // Frames up to the last chunk that holds data: a header's claim may be larger.
    int frameCount() const;
    std::int64_t timestamp(int position) const { return timestamps_[position]; }
    int packetSize(int position) const { return sizes_[position]; }
    // Where in the file the chunk's header lies, as the index says.
    std::int64_t offset(int position) const { return offsets_[position]; }
    bool isKey(int position) const;
    bool allKeys() const { return keys_.size() == timestamps_.size(); }
    bool hasGaps() const;

    // Position of the chunk stamped `timestamp`, or -1.
    int positionOf(std::int64_t timestamp) const;
    // Position of the last chunk stamped at or before `timestamp`, or -1.
    int lastAtOrBefore(std::int64_t timestamp) const;
    // Position of the chunk whose header lies at `offset`, or -1.
    int positionAt(std::int64_t offset) const;

    // Stamps every chunk `shift` earlier.
    void shiftTimestamps(std::int64_t shift);
    // For key flags that proved false: decoding can then only start at the beginning.
    void forgetKeys() { keys_.assign(1, 0); }
    // For codecs whose every picture stands alone, whatever the flags say.
    void makeAllKeys();
    // For key frames found in the coded data: the chunks stamped `timestamps` (ascending).
    void setKeys(const std::vector<std::int64_t>& timestamps);

    int keyCount() const { return static_cast<int>(keys_.size()); }
    int keyPosition(int key) const { return keys_[key]; }
    // Number of the last key chunk stamped at or before `timestamp`, or -1.
    int lastKeyAtOrBefore(std::int64_t timestamp) const;

private:
    std::vector<std::int64_t> timestamps_;
    std::vector<int> sizes_;
    std::vector<std::int64_t> offsets_;
    std::vector<std::pair<std::int64_t, int>> byOffset_; // (offset, position), ascending
    std::vector<int> keys_; // positions of key chunks, ascending; the first chunk always
};

} // namespace media
