#include "ExtractRun.h"
#include "support/testmedia/TestMedia.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using clitest::fileNames;
using clitest::freshFolder;
using clitest::runExtract;

// A 30-frame movie shared by the tests of this file.
const fs::path& usageMovie() {
    static const fs::path file = [] {
        const fs::path path = freshFolder("usage-movie") / "clip.avi";
        testmedia::MovieRecipe recipe;
        recipe.frames = 30;
        testmedia::writeMovie(path, recipe);
        return path;
    }();
    return file;
}

struct BadUsage {
    const char* name;
    std::vector<std::string> args; // "MOVIE" stands for the movie
    const char* complaint;
};

class ExtractBadUsage : public testing::TestWithParam<BadUsage> {};

TEST_P(ExtractBadUsage, ExitsTwoWithOneLineAndAHintAndWritesNothing) {
    const BadUsage& c = GetParam();
    const fs::path work = freshFolder(std::string("usage-") + c.name);
    const fs::path out = work / "out";
    std::vector<std::string> args{"--out", out.string()};
    for (const std::string& arg : c.args)
        args.push_back(arg == "MOVIE" ? usageMovie().string() : arg);

    const clitest::RunResult run = runExtract(args, work);

    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    const std::size_t lineEnd = run.err.find('\n');
    ASSERT_NE(lineEnd, std::string::npos) << run.err;
    const std::string message = run.err.substr(0, lineEnd);
    EXPECT_EQ(message.rfind("kirimo-extract: ", 0), 0u) << message;
    EXPECT_NE(message.find(c.complaint), std::string::npos) << message;
    EXPECT_EQ(run.err.substr(lineEnd + 1), "Try 'kirimo-extract --help'.\n");
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(fileNames(work), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtractBadUsage,
    testing::Values(
        BadUsage{"unknown_option", {"--frobnicate", "MOVIE"}, "unknown option '--frobnicate'"},
        BadUsage{"single_dash_option", {"-x", "MOVIE"}, "unknown option '-x'"},
        BadUsage{"missing_value", {"MOVIE", "--start"}, "'--start' needs a value"},
        BadUsage{"non_numeric", {"--end", "ten", "MOVIE"}, "'--end' needs a whole number"},
        BadUsage{"trailing_text", {"--start=3x", "MOVIE"}, "'--start' needs a whole number"},
        BadUsage{"hexadecimal", {"--interval", "0x10", "MOVIE"}, "'--interval' needs a whole"},
        BadUsage{"above_int32", {"--end", "2147483648", "MOVIE"}, "not '2147483648'"},
        BadUsage{"below_int32", {"--start", "-2147483649", "MOVIE"}, "not '-2147483649'"},
        BadUsage{"interval_zero", {"--interval", "0", "MOVIE"}, "interval must be at least 1"},
        BadUsage{"interval_negative", {"--interval=-3", "MOVIE"}, "interval must be at least 1"},
        BadUsage{"start_negative", {"--start", "-1", "MOVIE"}, "start frame must be 0 or more"},
        BadUsage{"start_after_end",
                 {"--start", "10", "--end", "5", "MOVIE"},
                 "start frame 10 lies after the end frame 5"},
        BadUsage{"start_after_last_frame",
                 {"--start", "30", "MOVIE"},
                 "start frame 30 lies after the end frame 29"},
        BadUsage{"end_past_last_frame", {"--end", "30", "MOVIE"}, "past the last frame 29"},
        BadUsage{"no_movie", {"--start", "1"}, "no movie given"},
        BadUsage{"movies_sharing_file_names", {"MOVIE", "MOVIE"}, "files of the same names"},
        BadUsage{"empty_out", {"MOVIE", "--out="}, "'--out' needs a folder name"},
        BadUsage{"info_with_value", {"--info=yes", "MOVIE"}, "'--info' takes no value"}),
    [](const testing::TestParamInfo<BadUsage>& info) { return info.param.name; });

testmedia::MovieRecipe recipe(testmedia::Codec codec, int width, int height, int frames, int fps) {
    testmedia::MovieRecipe recipe;
    recipe.codec = codec;
    recipe.width = width;
    recipe.height = height;
    recipe.frames = frames;
    recipe.fps = fps;
    return recipe;
}

struct InfoCase {
    const char* name;
    testmedia::MovieRecipe recipe;
    const char* expected;
};

class ExtractInfo : public testing::TestWithParam<InfoCase> {};

TEST_P(ExtractInfo, PrintsFramesSizeAndRateAndWritesNothing) {
    const InfoCase& c = GetParam();
    const fs::path work = freshFolder(std::string("info-") + c.name);
    const fs::path movie = work / "clip.avi";
    testmedia::writeMovie(movie, c.recipe);

    const clitest::RunResult run = runExtract({"--info", movie.string()}, work);

    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, c.expected);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(fileNames(work), std::vector<std::string>{"clip.avi"});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtractInfo,
    testing::Values(
        InfoCase{"mjpeg", recipe(testmedia::Codec::Mjpeg, 128, 96, 30, 25),
                 "frames=30\nwidth=128\nheight=96\nfps=25\ncontainer=avi\ncodec=mjpeg\n"},
        InfoCase{"raw", recipe(testmedia::Codec::RawBgr24, 64, 48, 7, 30),
                 "frames=7\nwidth=64\nheight=48\nfps=30\ncontainer=avi\ncodec=rawvideo\n"}),
    [](const testing::TestParamInfo<InfoCase>& info) { return info.param.name; });

TEST(ExtractHelp, ExplainsTheOptionsAndSucceedsEvenWithOtherArguments) {
    const fs::path work = freshFolder("help");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--help"}, std::vector<std::string>{"some.avi", "--help"}}) {
        const clitest::RunResult run = runExtract(args, work);

        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.out.rfind("Usage: kirimo-extract", 0), 0u) << run.out;
        for (const char* option : {"--start", "--end", "--interval", "--out", "--info"})
            EXPECT_NE(run.out.find(option), std::string::npos) << option;
        EXPECT_EQ(run.err, "");
    }
}

} // namespace
