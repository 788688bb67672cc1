#include "core/NamePattern.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

namespace {

struct ExpandCase {
    std::string pattern;
    std::string name;
};

class NamePatternExpand : public testing::TestWithParam<ExpandCase> {};

// Frame 7 of clip, shown from 83.48 s, the 12th file written.
TEST_P(NamePatternExpand, FillsEachField) {
    const core::NamePattern pattern = core::NamePattern::parse(GetParam().pattern);
    EXPECT_EQ(pattern.expand({.movie = "clip", .frame = 7, .milliseconds = 83480, .index = 12}),
              GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Fields, NamePatternExpand,
                         testing::Values(ExpandCase{"{movie}_{frame}", "clip_00007"},
                                         ExpandCase{"{frame:3}", "007"},
                                         ExpandCase{"f{frame:1}", "f7"},
                                         ExpandCase{"{frame:10}", "0000000007"},
                                         ExpandCase{"{movie} at {time}", "clip at 83.480"},
                                         ExpandCase{"{timecode}", "00-01-23.480"},
                                         ExpandCase{"shot-{index}-{index}", "shot-12-12"},
                                         ExpandCase{"{movie}{movie}.{frame}x", "clipclip.00007x"}));

TEST(NamePattern, WideFramesKeepAllTheirDigits) {
    EXPECT_EQ(core::NamePattern::parse("{frame:2}").expand({.movie = "m", .frame = 123456}),
              "123456");
    EXPECT_EQ(core::NamePattern::parse("{frame}").expand({.movie = "m", .frame = 123456}),
              "123456");
}

class NamePatternRefused : public testing::TestWithParam<std::string> {};

TEST_P(NamePatternRefused, SaysWhy) {
    EXPECT_THROW(core::NamePattern::parse(GetParam()), std::invalid_argument) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Cases, NamePatternRefused,
                         testing::Values("", "clip", "{movie}", "{movie}_x", "{frame}/x",
                                         "a\\{frame}", "{frame", "frame}", "}{frame}", "{fram}",
                                         "{frame:0}", "{frame:11}", "{frame:}", "{Frame}",
                                         "{time:3}", "{}"));

TEST(NamePattern, TellsWhetherTheMovieNameIsInIt) {
    EXPECT_TRUE(core::NamePattern::parse("{movie}-{index}").usesMovie());
    EXPECT_FALSE(core::NamePattern::parse("{index}").usesMovie());
}

} // namespace
