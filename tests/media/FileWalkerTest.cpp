// Our own readers of AVI and MP4 structure, on files built to lead them astray.

#include "MediaTestSupport.h"
#include "media/ChunkIndex.h"
#include "media/MoviChunks.h"
#include "media/Mp4CompositionOffsets.h"
#include "support/testmedia/ParserTraps.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

std::filesystem::path writeWalkerFile(const std::string& name,
                                      const std::vector<std::uint8_t>& bytes) {
    const auto file = mediatest::scratchFolder() / name;
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return file;
}

struct FormatContextFree {
    void operator()(AVFormatContext* context) const { avformat_free_context(context); }
};

// A damaged OpenDML index can put a chunk at the top of the position range: adding its size
// overflowed, and the chunk counted as inside a file of a thousand bytes.
TEST(ChunkIndexDamage, AChunkAtTheTopOfThePositionRangeLiesPastTheEnd) {
    const std::unique_ptr<AVFormatContext, FormatContextFree> context(avformat_alloc_context());
    AVStream* stream = avformat_new_stream(context.get(), nullptr);
    ASSERT_NE(stream, nullptr);
    av_add_index_entry(stream, 100, 0, 10, 0, AVINDEX_KEYFRAME);
    av_add_index_entry(stream, std::numeric_limits<std::int64_t>::max() - 5, 1, 10, 0, 0);
    const media::ChunkIndex index = media::ChunkIndex::fromStream(*stream, 1000, std::nullopt);
    EXPECT_EQ(index.size(), 1);
    EXPECT_EQ(index.frameCount(), 1);
}

// A size over 2^29 reads back negative from the index's 30-bit field; in a file as large as
// positions go, the check against the end then overflowed (the sanitizer build reports it).
TEST(ChunkIndexDamage, AChunkSizeThatReadsBackNegativeIsSkipped) {
    const std::unique_ptr<AVFormatContext, FormatContextFree> context(avformat_alloc_context());
    AVStream* stream = avformat_new_stream(context.get(), nullptr);
    ASSERT_NE(stream, nullptr);
    av_add_index_entry(stream, 100, 0, 10, 0, AVINDEX_KEYFRAME);
    av_add_index_entry(stream, 200, 1, 771751936, 0, 0);
    ASSERT_LT(avformat_index_get_entry(stream, 1)->size, 0);
    const media::ChunkIndex index = media::ChunkIndex::fromStream(
        *stream, std::numeric_limits<std::int64_t>::max() - 100, std::nullopt);
    EXPECT_EQ(index.frameCount(), 1);
}

// Record lists are walked into; lists nested without end were followed down until the stack
// ran out (a few megabytes of file).
TEST(MoviChunksDamage, RecordListsAreWalkedButEndlessNestingIsRefused) {
    const auto records = media::MoviChunks::ofStream(
        writeWalkerFile("record-list.avi", testmedia::nestedListsAvi(1)), 0);
    ASSERT_TRUE(records.has_value());
    ASSERT_EQ(records->size(), 1u);
    EXPECT_EQ(records->front().size, 4u);
    EXPECT_FALSE(media::MoviChunks::ofStream(
                     writeWalkerFile("nested-lists.avi", testmedia::nestedListsAvi(300000)), 0)
                     .has_value());
}

// A 64-bit box size that, as a stream offset, points back to an earlier box made the search
// for 'moov' go round for ever (the suite's timeout fails it).
TEST(Mp4BoxDamage, ABoxSizeLeadingBackEndsTheSearch) {
    const auto file = writeWalkerFile("box-leading-back.mp4", testmedia::mp4BoxLeadingBack());
    EXPECT_FALSE(media::Mp4CompositionOffsets::read(file, 1, 8).has_value());
}

} // namespace
