#include "cli/OptionTable.h"

#include "cli/ExtractOptions.h"
#include "cli/Extractor.h"
#include "cli/FramePlan.h"
#include "cli/MovieTask.h"
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

// Fails when --list is refused the ways of choosing frames it lists, or --info the options
// that change the pictures it describes.
TEST(ExtractOptionsParse, DescribingKeepsWhatChangesItsAnswer) {
    EXPECT_TRUE(std::holds_alternative<cli::AtTimes>(parseLine({"--list", "--at", "1"}).choice));
    EXPECT_TRUE(
        std::holds_alternative<cli::KeyFrames>(parseLine({"--keyframes", "--list"}).choice));
    EXPECT_TRUE(parseLine({"--info", "--size", "50%"}).picture.size.has_value());
}

// Fails when a pattern's extension is left to be doubled by the format's ("00002.png.bmp").
TEST(ExtractOptionsParse, APatternsExtensionChoosesTheFormat) {
    EXPECT_EQ(parseLine({"--name", "{frame}.png"}).output.format, cli::ImageFormat::Png);
    const ExtractOptions jpeg = parseLine({"--name", "{frame}.v1.JPEG", "--quality", "80"});
    EXPECT_EQ(jpeg.output.format, cli::ImageFormat::Jpeg);
    EXPECT_EQ(parseLine({"--name", "{frame}.v1"}).output.format, cli::ImageFormat::Bmp);
    EXPECT_EQ(refusalOf({"--format", "bmp", "--name", "{frame}.png"}),
              "the name pattern ends in '.png', which is not the format '--format' asks for");

    const cli::MovieLength movie{"clip.avi", 3, 3, {}, 25.0};
    const cli::MovieTask task("clip.avi", "out",
                              cli::FramePlan::resolve({}, cli::FrameList::parse("2"), movie), {},
                              jpeg.output.names);
    EXPECT_EQ(cli::outputFileName(task, 2, jpeg.output.format), "out/00002.v1.JPEG");
}

// Fails when a format name is matched in one case only: JPG refused while PNG is taken.
TEST(ExtractOptionsParse, TakesEveryFormatNameInAnyCase) {
    for (const std::string_view name : {"JPG", "Jpeg", "jpeg"})
        EXPECT_EQ(parseLine({"--format", name}).output.format, cli::ImageFormat::Jpeg) << name;
}

struct Refusal {
    const char* name;
    std::vector<std::string_view> args; // before the movie
    const char* complaint;              // found in the message
};

class ExtractOptionsRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(ExtractOptionsRefusal, SaysWhatIsWrong) {
    const Refusal& c = GetParam();
    const std::string refusal = refusalOf(c.args);
    EXPECT_NE(refusal.find(c.complaint), std::string::npos) << refusal;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtractOptionsRefusal,
    testing::Values(
        Refusal{"quality_text",
                {"--format", "jpg", "--quality", "abc"},
                "needs a whole number from 1 to 100, not 'abc'"},
        Refusal{"start_time_without_unit",
                {"--start", "1.5"},
                "not '1.5' (a time needs its unit: '1.5s')"},
        Refusal{"end_time_without_unit", {"--end=90.25"}, "(a time needs its unit: '90.25s')"},
        Refusal{"start_not_a_time", {"--start", "3x"}, "from 0 to 2147483647, not '3x'"},
        // Standard output takes a stream of pictures now, but raw frames go nowhere else.
        Refusal{"raw_into_files", {"--format", "raw"}, "'--format raw' goes with '--out -'"},
        Refusal{"standard_output_with_name",
                {"--out", "-", "--name", "{frame}"},
                "option '--name' goes with files, and '--out -' writes none"},
        Refusal{"manifest_and_pictures_on_standard_output",
                {"--out", "-", "--manifest", "-"},
                "would both take standard output"},
        // Options a run without pictures would silently leave out.
        Refusal{"info_with_scenes",
                {"--info", "--scenes"},
                "option '--scenes' chooses frames, and '--info' describes the whole movie"},
        Refusal{"frames_before_info", {"--frames", "1", "--info"}, "option '--frames' chooses"},
        Refusal{"info_with_format",
                {"--info", "--format", "png"},
                "option '--format' shapes the files written, and '--info' writes none"},
        Refusal{"list_with_size",
                {"--list", "--size", "50%"},
                "option '--size' shapes the pictures written, and '--list' writes none"},
        Refusal{"list_with_deinterlace", {"--deinterlace", "--list"}, "'--list' writes none"},
        Refusal{"list_with_name", {"--list", "--name", "{frame}"}, "'--list' writes none"},
        Refusal{"info_and_list", {"--info", "--list"}, "'--info' and '--list' exclude each other"},
        Refusal{"at_twice",
                {"--at", "1", "--at", "2"},
                "option '--at' is given twice: the second would replace the first"},
        Refusal{"size_twice", {"--size", "50%", "--size=10x"}, "'--size' is given twice"},
        Refusal{"scenes_twice", {"--scenes", "--scenes=60"}, "'--scenes' is given twice"}),
    [](const testing::TestParamInfo<Refusal>& info) { return info.param.name; });

} // namespace
