#include "platform/MulDiv.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

struct MulDivCase {
    int a;
    int b;
    int c;
    int expected;
};

class MulDivTest : public ::testing::TestWithParam<MulDivCase> {};

TEST_P(MulDivTest, RoundsHalfAwayFromZeroAndReportsFailureAsMinusOne) {
    const MulDivCase& t = GetParam();
    EXPECT_EQ(platform::mulDiv(t.a, t.b, t.c), t.expected) << t.a << " * " << t.b << " / " << t.c;
}

INSTANTIATE_TEST_SUITE_P(
    Table, MulDivTest,
    ::testing::Values(MulDivCase{10, 10, 3, 33}, MulDivCase{1, 1, 3, 0}, MulDivCase{2, 1, 3, 1},
                      MulDivCase{1, 1, 2, 1}, MulDivCase{3, 1, 2, 2}, MulDivCase{5, 1, 2, 3},
                      MulDivCase{-1, 1, 2, -1}, MulDivCase{-3, 1, 2, -2}, MulDivCase{1, -5, 2, -3},
                      MulDivCase{1, 1, -2, -1}, MulDivCase{-1, -1, -2, -1},
                      MulDivCase{-7, 1, -2, 4}, MulDivCase{-2, 1, 3, -1}, MulDivCase{0, 5, 7, 0},
                      // Zero divisor and results beyond 32 bits.
                      MulDivCase{7, 1, 0, -1}, MulDivCase{0, 0, 0, -1},
                      MulDivCase{INT_MAX, 2, 1, -1}, MulDivCase{INT_MAX, 1, 1, INT_MAX},
                      MulDivCase{INT_MIN, 1, 1, -1}, MulDivCase{-INT_MAX, 1, 1, -INT_MAX},
                      // The product may exceed 32 bits when the quotient does not.
                      MulDivCase{2000000000, 3, 4, 1500000000},
                      MulDivCase{2000000000, 2000000000, 1000000000, -1},
                      MulDivCase{-96, 72, 96, -72}, MulDivCase{9, 96, 72, 12}));

TEST(MulDivFade, StepsOfAThirtyTwoColourFadeFromBlackToWhite) {
    // Grey levels of a label fading from black to white over 32 colours.
    const int expected[] = {8,   16,  25,  33,  41,  49,  58,  66,  74,  82,  90,
                            99,  107, 115, 123, 132, 140, 148, 156, 165, 173, 181,
                            189, 197, 206, 214, 222, 230, 239, 247, 255};
    for (int step = 1; step <= 31; ++step)
        EXPECT_EQ(platform::mulDiv(step, 255, 31), expected[step - 1]) << "step " << step;
}

} // namespace
