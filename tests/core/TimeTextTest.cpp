#include "core/TimeText.h"

#include "core/TimeBase.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

constexpr std::int64_t second = 1'000'000'000;

struct TimeCase {
    std::string text;
    std::optional<std::int64_t> nanoseconds;
};

class ParseTime : public testing::TestWithParam<TimeCase> {};

TEST_P(ParseTime, GivesExactNanoseconds) {
    EXPECT_EQ(core::parseTime(GetParam().text), GetParam().nanoseconds)
        << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, ParseTime,
    testing::Values(TimeCase{"12.5", 12 * second + second / 2}, TimeCase{"12.5s", 12'500'000'000},
                    TimeCase{"0.5s", second / 2}, TimeCase{"2s", 2 * second},
                    TimeCase{"1m", 60 * second}, TimeCase{"1.5m", 90 * second},
                    TimeCase{"0.1", 100'000'000}, TimeCase{"0.000000001", 1},
                    TimeCase{"1:23.5", 83'500'000'000}, TimeCase{"01:02:03.040", 3'723'040'000'000},
                    TimeCase{"90:00", 5400 * second}, TimeCase{"0:59.999", 59'999'000'000}));

INSTANTIATE_TEST_SUITE_P(
    Rejected, ParseTime,
    testing::Values(TimeCase{"", std::nullopt}, TimeCase{"s", std::nullopt},
                    TimeCase{"-1", std::nullopt}, TimeCase{"+1", std::nullopt},
                    TimeCase{"1.2.3", std::nullopt}, TimeCase{"12x", std::nullopt},
                    TimeCase{"1 s", std::nullopt}, TimeCase{"1.0000000001", std::nullopt},
                    TimeCase{"1:60", std::nullopt}, TimeCase{"1:60:00", std::nullopt},
                    TimeCase{"1:2:3:4", std::nullopt}, TimeCase{"1:", std::nullopt},
                    TimeCase{":30", std::nullopt}, TimeCase{"1:.5", std::nullopt},
                    TimeCase{"1:30s", std::nullopt}, TimeCase{"99999999999999999999", std::nullopt},
                    TimeCase{"9999999999999m", std::nullopt}));

TEST(NamesTime, TellsTimesFromFrameNumbers) {
    EXPECT_TRUE(core::namesTime("10s"));
    EXPECT_TRUE(core::namesTime("1m"));
    EXPECT_TRUE(core::namesTime("1:00"));
    EXPECT_FALSE(core::namesTime("10"));
    EXPECT_FALSE(core::namesTime("10.5"));
}

// 29.97 frames a second: frame 3 starts at 3 * 1001 / 30000 s = 0.1001 s, a value a double
// holds only approximately.
TEST(TimeBase, ComparesFrameStartsExactly) {
    const core::TimeBase ntsc{1001, 30000};
    EXPECT_TRUE(ntsc.atOrBefore(3, 100'100'000));
    EXPECT_FALSE(ntsc.atOrBefore(3, 100'099'999));
    EXPECT_EQ(ntsc.nanosecondsUp(3), 100'100'000);
    EXPECT_EQ(ntsc.nanosecondsUp(1), 33'366'667);
    EXPECT_TRUE(ntsc.atOrBefore(1, ntsc.nanosecondsUp(1)));
    EXPECT_FALSE(ntsc.atOrBefore(1, ntsc.nanosecondsUp(1) - 1));
}

TEST(TimeBase, RoundsMillisecondsUpOnlyWhenNotWhole) {
    EXPECT_EQ((core::TimeBase{1001, 30000}.millisecondsUp(1)), 34);
    EXPECT_EQ((core::TimeBase{1, 1000}.millisecondsUp(12480)), 12480);
    EXPECT_EQ((core::TimeBase{1, 90000}.millisecondsUp(3600)), 40);
    EXPECT_EQ((core::TimeBase{1, 25}.millisecondsUp(0)), 0);
}

TEST(TimeFormat, WritesSecondsAndFileSafeTimecodes) {
    EXPECT_EQ(core::formatSeconds(12480), "12.480");
    EXPECT_EQ(core::formatSeconds(5), "0.005");
    EXPECT_EQ(core::formatTimecode(83480), "00-01-23.480");
    EXPECT_EQ(core::formatTimecode(3'723'040), "01-02-03.040");
    EXPECT_EQ(core::formatTimecode(0), "00-00-00.000");
}

} // namespace
