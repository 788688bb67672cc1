#include "cli/DecoderThreads.h"

#include <gtest/gtest.h>
#include <vector>

using cli::DecoderThreads;

// Reading on costs the pictures between two planned frames; a key frame between them makes a
// seek to the key frame at or before the next one.
TEST(DecoderThreads, CountsThePicturesDecodedAfterEachSeek) {
    const std::vector<std::int32_t> keys{0, 250, 500, 750};
    EXPECT_EQ(DecoderThreads::decodesPerSeek(std::vector<std::int32_t>{990}, keys), 241);
    std::vector<std::int32_t> every25th;
    for (std::int32_t frame = 0; frame < 250; frame += 25)
        every25th.push_back(frame);
    EXPECT_EQ(DecoderThreads::decodesPerSeek(every25th, keys), 226);
    EXPECT_EQ(DecoderThreads::decodesPerSeek(std::vector<std::int32_t>{10, 260, 270}, keys),
              (11 + 21) / 2);
    EXPECT_EQ(DecoderThreads::decodesPerSeek({}, keys), 0);
}

// Frame threads only where a core is free and a long run of costly pictures follows each seek.
TEST(DecoderThreads, GivesFrameThreadsToALoneJobsLongRunsOfCostlyPictures) {
    const DecoderThreads::Work hd{
        .decodesPerSeek = 241, .pictureArea = 1920 * 1080, .codec = "h264", .coresPerJob = 2};
    EXPECT_EQ(DecoderThreads::choose(hd), 3);
    EXPECT_EQ(DecoderThreads::choose({241, 1920 * 1080, "mpeg2video", 4}), 5);
    EXPECT_EQ(DecoderThreads::choose({241, 1920 * 1080, "h264", 1}), 1); // jobs fill the cores
    EXPECT_EQ(DecoderThreads::choose({8, 1920 * 1080, "h264", 2}), 1);   // seek-heavy
    EXPECT_EQ(DecoderThreads::choose({241, 640 * 480, "h264", 2}), 1);   // small
    EXPECT_EQ(DecoderThreads::choose({241, 1280 * 720, "mpeg4", 2}), 1); // cheap codec
}
