#include "player/FrameImage.h"

#include "core/BgrImage.h"
#include "core/Error.h"
#include "player/FrameInterval.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace {

// Width 5 leaves a padding byte at the end of each row: the conversion must skip it. Rows may be
// stored either way up.
TEST(FrameImage, KeepsEveryPixelAndSkipsRowPadding) {
    for (const bool bottomFirst : {false, true}) {
        core::BgrImage frame = core::BgrImage::blank(5, 3);
        frame.bottomFirst = bottomFirst;
        for (int y = 0; y < frame.height; ++y)
            for (int x = 0; x < frame.width; ++x) {
                std::uint8_t* pixel = frame.row(y) + 3 * x;
                pixel[0] = static_cast<std::uint8_t>(10 * x + y);       // blue
                pixel[1] = static_cast<std::uint8_t>(100 + x);          // green
                pixel[2] = static_cast<std::uint8_t>(200 + 10 * y + x); // red
            }
        frame.row(0)[15] = 0xEE; // padding

        const QImage picture = player::toQImage(frame);
        ASSERT_EQ(picture.size(), QSize(5, 3));
        EXPECT_EQ(picture.format(), QImage::Format_RGB32);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(picture.pixel(x, y), qRgb(200 + 10 * y + x, 100 + x, 10 * x + y))
                    << x << ", " << y << (bottomFirst ? ", rows bottom first" : "");
    }
}

TEST(FrameImage, ShortDataIsRefusedAndNoSizeGivesNoPicture) {
    core::BgrImage frame = core::BgrImage::blank(4, 4);
    frame.bytes.resize(frame.bytes.size() - 1);
    EXPECT_THROW(player::toQImage(frame), core::Error);
    EXPECT_TRUE(player::toQImage(core::BgrImage{}).isNull());
}

struct IntervalCase {
    double fps;
    int ms;
};

class FrameInterval : public testing::TestWithParam<IntervalCase> {};

TEST_P(FrameInterval, FollowsTheFrameRate) {
    EXPECT_EQ(player::frameIntervalMs(GetParam().fps), GetParam().ms) << GetParam().fps;
}

INSTANTIATE_TEST_SUITE_P(
    Player, FrameInterval,
    testing::Values(IntervalCase{25.0, 40}, IntervalCase{30000.0 / 1001.0, 33},
                    IntervalCase{15.0, 67}, IntervalCase{0.25, 4000}, IntervalCase{0.01, 10000},
                    IntervalCase{5000.0, 10}, IntervalCase{1e8, 10}, IntervalCase{120.0, 10},
                    IntervalCase{0.0, 67}, IntervalCase{-25.0, 67}, IntervalCase{std::nan(""), 67},
                    IntervalCase{std::numeric_limits<double>::infinity(), 67}));

// Each frame lasts until the next one's time; where the next one does not come later (stamps
// repeated or out of order), and for the last frame, one frame at the stated rate.
TEST(FrameDurations, LastUntilTheNextFrameOrOneFrameAtTheRate) {
    std::vector<media::FrameRecord> frames;
    for (const double seconds : {0.0, 0.04, 0.04, 0.12, 0.1, 0.105, 30.0})
        frames.push_back(media::FrameRecord{seconds, false, 1});
    EXPECT_EQ(player::frameDurationsMs(frames, 15.0),
              (std::vector<int>{40, 67, 80, 67, 10, 10000, 67}));
}

} // namespace
