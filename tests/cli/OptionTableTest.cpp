#include "cli/OptionTable.h"

#include "cli/ExtractOptions.h"
#include "cli/UsageError.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using cli::ExtractOptions;

ExtractOptions parseLine(std::vector<std::string_view> args) {
    args.push_back("clip.mp4");
    return ExtractOptions::parse(args);
}

std::string refusalOf(const std::vector<std::string_view>& args) {
    try {
        parseLine(args);
    } catch (const cli::UsageError& e) {
        return e.what();
    }
    return "accepted";
}

// Fails on an entry whose name and value overrun the help column, which would knock its text
// out of line in --help and the manual page.
TEST(OptionTable, EveryNameFitsBeforeTheHelpColumn) {
    for (const cli::CommandLineOption& option : cli::optionTable()) {
        const std::size_t head =
            2 + option.name.size() + (option.metavar.empty() ? 0 : 1 + option.metavar.size()) + 2;
        EXPECT_LE(head, cli::helpColumn) << option.name;
        EXPECT_FALSE(option.help.ends_with('\n')) << option.name; // a blank line in the help
    }
}

// Fails on two entries sharing a name or alias: the second could never be reached.
TEST(OptionTable, EveryNameAndAliasFindsItsOwnEntry) {
    for (const cli::CommandLineOption& option : cli::optionTable()) {
        EXPECT_EQ(cli::findOption(option.name), &option) << option.name;
        if (!option.alias.empty()) {
            EXPECT_EQ(cli::findOption(option.alias), &option) << option.alias;
        }
    }
}

// Fails when a later choice silently replaces an earlier one instead of refusing the pair,
// whichever comes first on the line.
TEST(ExtractOptionsParse, RefusesWaysOfChoosingFramesNamedTogetherInEitherOrder) {
    const std::vector<std::vector<std::string_view>> ways = {
        {"--interval", "2"}, {"--every", "1s"}, {"--at", "1"},
        {"--frames", "1"},   {"--keyframes"},   {"--scenes", "60"}};
    for (std::size_t first = 0; first < ways.size(); ++first)
        for (std::size_t second = first + 1; second < ways.size(); ++second) {
            std::vector<std::string_view> forwards = ways[first];
            forwards.insert(forwards.end(), ways[second].begin(), ways[second].end());
            std::vector<std::string_view> backwards = ways[second];
            backwards.insert(backwards.end(), ways[first].begin(), ways[first].end());
            const std::string refusal = refusalOf(forwards);
            EXPECT_NE(refusal, "accepted") << ways[first][0] << " " << ways[second][0];
            EXPECT_EQ(refusalOf(backwards), refusal);
        }
    for (const std::string_view bound : {"--start", "--end"})
        for (const std::string_view own : {"--at", "--frames"})
            EXPECT_NE(refusalOf({bound, "1s", own, "1"}), "accepted") << bound << " " << own;
}

// Fails when "--interval 1", every frame and so no choice at all, displaces a choice made
// before it.
TEST(ExtractOptionsParse, AnIntervalOfOneKeepsTheChoiceMadeBefore) {
    EXPECT_TRUE(std::holds_alternative<cli::KeyFrames>(
        parseLine({"--keyframes", "--interval", "1"}).choice));
    EXPECT_TRUE(std::holds_alternative<cli::AtTimes>(
        parseLine({"--interval", "3", "--at", "1", "--interval", "1"}).choice));
}

// Fails when the optional keenness swallows an argument that is not all digits: a movie whose
// name starts with one.
TEST(ExtractOptionsParse, ScenesTakeOnlyDigitsThatFollowAsTheirKeenness) {
    const ExtractOptions given = parseLine({"--scenes", "70"});
    EXPECT_EQ(std::get<cli::ShotStarts>(given.choice).sensitivity, 70);
    EXPECT_EQ(given.movies, std::vector<std::string>{"clip.mp4"});
    const ExtractOptions omitted = parseLine({"--scenes", "70s.mp4"});
    EXPECT_EQ(std::get<cli::ShotStarts>(omitted.choice).sensitivity, 50);
    EXPECT_EQ(omitted.movies, (std::vector<std::string>{"70s.mp4", "clip.mp4"}));
}

} // namespace
