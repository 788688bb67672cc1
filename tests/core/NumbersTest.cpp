#include "core/Numbers.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string>

namespace {

struct ParseCase {
    std::string text;
    std::optional<std::int32_t> value;
};

class StrToInt : public ::testing::TestWithParam<ParseCase> {};

TEST_P(StrToInt, FollowsTheRuntimeSyntax) {
    EXPECT_EQ(core::strToInt(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, StrToInt,
    ::testing::Values(ParseCase{"0", 0}, ParseCase{"20", 20}, ParseCase{"-20", -20},
                      ParseCase{"+7", 7}, ParseCase{"  42", 42}, ParseCase{"007", 7},
                      ParseCase{"2147483647", 2147483647},
                      ParseCase{"-2147483648", std::numeric_limits<std::int32_t>::min()},
                      ParseCase{"$40", 64}, ParseCase{"$ff", 255}, ParseCase{"0x40", 64},
                      ParseCase{"0X1f", 31}, ParseCase{"-$10", -16}, ParseCase{"-0x10", -16},
                      ParseCase{"$FFFFFFFF", -1},
                      ParseCase{"$80000000", std::numeric_limits<std::int32_t>::min()},
                      ParseCase{"$000000000010", 16}));

INSTANTIATE_TEST_SUITE_P(
    Rejected, StrToInt,
    ::testing::Values(ParseCase{"", std::nullopt}, ParseCase{" ", std::nullopt},
                      ParseCase{"-", std::nullopt}, ParseCase{"$", std::nullopt},
                      ParseCase{"0x", std::nullopt}, ParseCase{"abc", std::nullopt},
                      ParseCase{"12abc", std::nullopt}, ParseCase{"12 ", std::nullopt},
                      ParseCase{"1 2", std::nullopt}, ParseCase{"--1", std::nullopt},
                      ParseCase{"+-1", std::nullopt}, ParseCase{"2147483648", std::nullopt},
                      ParseCase{"-2147483649", std::nullopt},
                      ParseCase{"99999999999999999999", std::nullopt},
                      ParseCase{"$100000000", std::nullopt}, ParseCase{"$-1", std::nullopt},
                      ParseCase{"0x-1", std::nullopt}, ParseCase{"$g", std::nullopt},
                      ParseCase{"\t1", std::nullopt}, ParseCase{"１２", std::nullopt}));

TEST(StrToIntDef, FallsBackOnlyForBadText) {
    EXPECT_EQ(core::strToIntDef("abc", 20), 20);
    EXPECT_EQ(core::strToIntDef("", -5), -5);
    EXPECT_EQ(core::strToIntDef("0", 20), 0);
}

TEST(IntToStr, WritesPlainDecimal) {
    EXPECT_EQ(core::intToStr(0), "0");
    EXPECT_EQ(core::intToStr(-20), "-20");
    EXPECT_EQ(core::intToStr(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
}

} // namespace
