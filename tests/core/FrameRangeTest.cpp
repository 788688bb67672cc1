#include "core/FrameRange.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr std::int32_t lowest = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t highest = std::numeric_limits<std::int32_t>::max();

struct CountCase {
    std::int32_t start;
    std::int32_t end;
    std::int32_t interval;
    std::int32_t count;
};

class FrameCount : public ::testing::TestWithParam<CountCase> {};

TEST_P(FrameCount, DividesTruncatingTowardZero) {
    const CountCase& c = GetParam();
    EXPECT_EQ(core::frameCount(c.start, c.end, c.interval), c.count);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, FrameCount,
    ::testing::Values(CountCase{0, 299, 1, 300}, CountCase{10, 20, 3, 4}, CountCase{0, 9, 4, 3},
                      CountCase{0, 4, 2, 3}, CountCase{100, 100, 1, 1}, CountCase{50, 50, 7, 1},
                      // end below start: truncation toward zero, not flooring
                      CountCase{10, 5, 3, 0}, CountCase{10, 9, 2, 1},
                      // no signed overflow at the ends of the range
                      CountCase{0, highest, highest, 2}, CountCase{lowest, highest, highest, 3},
                      CountCase{lowest, highest, 1, highest}, CountCase{highest, lowest, 1, lowest},
                      CountCase{0, lowest, -1, highest}));

TEST(FrameCount, ZeroIntervalRaisesTheDivisionError) {
    try {
        core::frameCount(0, 10, 0);
        FAIL() << "no error";
    } catch (const core::DivisionByZero& error) {
        EXPECT_STREQ(error.what(), "ゼロによる除算");
    }
    EXPECT_THROW(core::frameCount(5, 5, 0), core::Error);
}

} // namespace
