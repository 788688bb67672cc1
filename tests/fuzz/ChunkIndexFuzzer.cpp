// The input is a demuxer's index of an AVI file's video stream (IndexEntriesInput), so every
// index FFmpeg can hold is reached without its AVI reader in between.

#include "FuzzCheck.h"
#include "IndexEntriesInput.h"
#include "media/ChunkIndex.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

struct ContextFree {
    void operator()(AVFormatContext* context) const { avformat_free_context(context); }
};
using ContextPtr = std::unique_ptr<AVFormatContext, ContextFree>;

void checkOrder(const media::ChunkIndex& index) {
    for (int i = 0; i < index.size(); ++i) {
        fuzzCheck(index.timestamp(i) >= 0 && index.packetSize(i) > 0, "usable chunks only");
        fuzzCheck(i == 0 || index.timestamp(i) > index.timestamp(i - 1), "stamps rise");
        fuzzCheck(index.positionOf(index.timestamp(i)) == i, "a stamp finds its chunk");
    }
    fuzzCheck(index.frameCount() >= index.size(), "every chunk is a frame");
    if (index.empty())
        return;
    fuzzCheck(index.keyCount() > 0 && index.keyPosition(0) == 0, "decoding can start at 0");
    for (int k = 1; k < index.keyCount(); ++k)
        fuzzCheck(index.keyPosition(k) > index.keyPosition(k - 1) &&
                      index.keyPosition(k) < index.size(),
                  "keys are chunks, ascending");
}

// As the AVI engine asks: the key to start from for each stamp and the ones either side.
void checkKeyChoice(const media::ChunkIndex& index) {
    for (int i = 0; i < index.size(); ++i)
        for (const std::int64_t stamp : {index.timestamp(i) - 1, index.timestamp(i)}) {
            const int key = index.lastKeyAtOrBefore(stamp);
            const int chunk = index.lastAtOrBefore(stamp);
            fuzzCheck(key < index.keyCount() && (chunk < 0 || key >= 0),
                      "a chunk has a key at or before it");
            fuzzCheck(key < 0 || index.keyPosition(key) <= chunk, "the key comes first");
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const IndexEntriesInput input = IndexEntriesInput::decode(data, size);
    const ContextPtr context(avformat_alloc_context());
    AVStream* stream = context ? avformat_new_stream(context.get(), nullptr) : nullptr;
    if (stream == nullptr)
        throw std::bad_alloc();
    std::vector<std::int64_t> flaggedKeys;
    for (const IndexEntriesInput::Entry& entry : input.entries) {
        av_add_index_entry(stream, entry.pos, entry.timestamp, entry.size, 0, entry.flags);
        if (entry.flags & AVINDEX_KEYFRAME)
            flaggedKeys.push_back(entry.timestamp);
    }
    media::ChunkIndex index =
        media::ChunkIndex::fromStream(*stream, input.fileSize, input.firstDamaged);
    checkOrder(index);
    checkKeyChoice(index);
    std::sort(flaggedKeys.begin(), flaggedKeys.end()); // as the engine finds them
    index.setKeys(flaggedKeys);
    checkOrder(index);
    checkKeyChoice(index);
    if (!index.empty()) {
        index.shiftTimestamps(index.timestamp(0));
        fuzzCheck(index.timestamp(0) == 0, "a shift moves the start to 0");
    }
    return 0;
}
