#include "ExtractRun.h"
#include "support/testmedia/ContainerMedia.h"
#include "support/testmedia/TestMedia.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using clitest::fileNames;
using clitest::freshFolder;
using clitest::runExtract;
using testmedia::Container;
using testmedia::ContainerRecipe;
using testmedia::VideoCodec;

// 36 frames at 25 a second but for every fourth, which lasts two: frame n starts at tick
// n + n / 4 of 1/25 s (0 1 2 3 5 6 7 8 10 ...), so every 4th frame is not every 0.16 s.
const fs::path& variableRateMovie() {
    static const fs::path movie =
        testmedia::sharedContainerMovie(ContainerRecipe{.container = Container::Mp4,
                                                        .codec = VideoCodec::H264,
                                                        .frames = 36,
                                                        .gop = 12,
                                                        .variableRate = true});
    return movie;
}

std::string frameFile(const fs::path& movie, int frame) {
    char name[64];
    std::snprintf(name, sizeof name, "%s_%05d.bmp", movie.stem().c_str(), frame);
    return name;
}

std::vector<std::string> frameFiles(const fs::path& movie, const std::vector<int>& frames) {
    std::vector<std::string> names;
    for (const int frame : frames)
        names.push_back(frameFile(movie, frame));
    return names;
}

struct ChoiceCase {
    const char* name;
    std::vector<std::string> options;
    std::vector<int> frames;
};

class ExtractChosenFrames : public testing::TestWithParam<ChoiceCase> {};

// Each file holds the picture of the frame its name says, and the frames are the ones the
// movie shows at the times asked for.
TEST_P(ExtractChosenFrames, WritesTheFramesShownAtTheTimes) {
    const ChoiceCase& c = GetParam();
    const fs::path out = freshFolder(std::string("choose-") + c.name);
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {"--out", out.string(), variableRateMovie().string()});

    const clitest::RunResult run = runExtract(args, out);

    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_EQ(fileNames(out), frameFiles(variableRateMovie(), c.frames));
    for (const int frame : c.frames)
        EXPECT_EQ(clitest::readBmp(out / frameFile(variableRateMovie(), frame)).frameNumber(),
                  frame);
}

// Fails when --list leaves out the choice or the range and lists every frame of the movie.
TEST_P(ExtractChosenFrames, ListsTheFramesARunWouldWrite) {
    const ChoiceCase& c = GetParam();
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {"--list", variableRateMovie().string()});

    const clitest::RunResult run = runExtract(args, freshFolder(std::string("list-") + c.name));

    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::vector<int> listed;
    for (std::size_t line = run.out.find('\n'); line + 1 < run.out.size();
         line = run.out.find('\n', line + 1))
        listed.push_back(std::stoi(run.out.substr(line + 1)));
    EXPECT_EQ(listed, c.frames) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtractChosenFrames,
    testing::Values(
        // Instants 0, 4, 8, ... ticks; 44 is the end of the last frame (43, after 42).
        ChoiceCase{"every_0_16s_is_not_every_4th_frame",
                   {"--every", "0.16s"},
                   {0, 3, 7, 10, 13, 16, 19, 23, 26, 29, 32}},
        // Frame 4 starts at 0.2 s exactly; frame 3 is shown from 0.12 s until then.
        ChoiceCase{"boundary_and_just_before", {"--at", "0.2,0.199999999,0:00.12"}, {3, 4}},
        // The last frame starts at 1.72 s and ends at 1.76 s, the movie's end, which still shows
        // it.
        ChoiceCase{"times_in_any_order_each_once", {"--at", "1.76,0,0.01,1.72"}, {0, 35}},
        // 0.6, 0.8 and 1.0 s are ticks 15, 20, 25; 0.5 s is between instants.
        ChoiceCase{"every_within_start_and_end_times",
                   {"--start", "0.5s", "--end", "0:01", "--every", "0.2s"},
                   {12, 16, 20}},
        // Frame 30 starts at 1.48 s; a step of 0.01 s meets each frame once, however short.
        ChoiceCase{"every_from_a_start_frame",
                   {"--start", "30", "--every", "0.01s"},
                   {30, 31, 32, 33, 34, 35}},
        ChoiceCase{"interval_within_frames",
                   {"--start", "5", "--end", "20", "--interval", "5"},
                   {5, 10, 15, 20}},
        ChoiceCase{"keyframes_from_a_start_time", {"--keyframes", "--start", "0.1s"}, {12, 24}}),
    [](const testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name); });

// Times in names are those of the frames written, not of the instants asked for.
TEST(ExtractNamed, NamesFilesByFieldsOfTheFramesWritten) {
    const fs::path out = freshFolder("named");
    const clitest::RunResult run =
        runExtract({"--every", "0.6s", "--name", "{index}_{frame:3}_{time}_{timecode}", "--out",
                    out.string(), variableRateMovie().string()},
                   out);

    ASSERT_EQ(run.exitCode, 0) << run.err;
    // 0.6 s and 1.2 s are ticks 15 and 30: frames 12 and 24.
    EXPECT_EQ(fileNames(out), (std::vector<std::string>{"1_000_0.000_00-00-00.000.bmp",
                                                        "2_012_0.600_00-00-00.600.bmp",
                                                        "3_024_1.200_00-00-01.200.bmp"}));
    EXPECT_EQ(clitest::readBmp(out / "3_024_1.200_00-00-01.200.bmp").frameNumber(), 24);
}

// Steps of 0.01 s meet each of the last frames several times: each is written once, and the
// index counts files, not instants.
TEST(ExtractNamed, CountsEachFrameOnceWhateverTheInstantsShowingIt) {
    const fs::path out = freshFolder("named-once");
    const clitest::RunResult run =
        runExtract({"--start", "32", "--every", "0.01s", "--name", "{index}-{frame}", "--out",
                    out.string(), variableRateMovie().string()},
                   out);

    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(fileNames(out), (std::vector<std::string>{"1-00032.bmp", "2-00033.bmp", "3-00034.bmp",
                                                        "4-00035.bmp"}));
}

struct KeyFrameCase {
    const char* name;
    ContainerRecipe recipe;
    std::vector<int> keyFrames; // after frame 0
};

class ExtractKeyFrames : public testing::TestWithParam<KeyFrameCase> {};

// Key frames every 12 frames: each decoded from its own packet must still be its own picture,
// also where pictures before it in display order come after it in the file (open GOPs).
TEST_P(ExtractKeyFrames, WritesOnlyTheKeyFramesOfTheSelection) {
    const fs::path movie = testmedia::sharedContainerMovie(GetParam().recipe);
    const fs::path out = freshFolder(std::string("keyframes-") + GetParam().name);

    const clitest::RunResult run =
        runExtract({"--keyframes", "--start", "1", "--out", out.string(), movie.string()}, out);

    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_EQ(fileNames(out), frameFiles(movie, GetParam().keyFrames));
    for (const int frame : GetParam().keyFrames)
        EXPECT_EQ(clitest::readBmp(out / frameFile(movie, frame)).frameNumber(), frame);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtractKeyFrames,
    testing::Values(KeyFrameCase{"h264_b_pyramid", {.container = Container::Mp4}, {12, 24}},
                    KeyFrameCase{"hevc_open_gop", {.codec = VideoCodec::Hevc}, {12, 24}},
                    // The encoder closes the movie with an I-picture.
                    KeyFrameCase{"mpeg2_open_gop",
                                 {.container = Container::MpegPs, .codec = VideoCodec::Mpeg2},
                                 {12, 24, 35}}),
    [](const testing::TestParamInfo<KeyFrameCase>& info) { return std::string(info.param.name); });

struct RefusedCase {
    const char* name;
    std::vector<std::string> options;
    const char* complaint;
};

class ExtractRefusedChoice : public testing::TestWithParam<RefusedCase> {};

TEST_P(ExtractRefusedChoice, ExitsTwoBeforeWritingAnything) {
    const RefusedCase& c = GetParam();
    const fs::path work = freshFolder(std::string("refuse-") + c.name);
    std::vector<std::string> args;
    for (const std::string& arg : c.options) // "OTHER" stands for a second movie
        args.push_back(arg == "OTHER" ? testmedia::sharedMovie({}).string() : arg);
    args.insert(args.end(), {"--out", (work / "out").string(), variableRateMovie().string()});

    const clitest::RunResult run = runExtract(args, work);

    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find(c.complaint), std::string::npos) << run.err;
    EXPECT_EQ(fileNames(work), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtractRefusedChoice,
    testing::Values(
        // The last frame starts at 1.72 s and lasts 0.04 s.
        RefusedCase{"time_past_the_end", {"--at", "0,1.760000001"}, "1.760000001 s lies past"},
        RefusedCase{"start_time_past_the_end",
                    {"--start", "2s", "--end", "3s"},
                    "start time 2.000 s lies past"},
        RefusedCase{"every_without_unit", {"--every", "2"}, "'--interval N'"},
        RefusedCase{"every_zero", {"--every", "0s"}, "more than 0"},
        RefusedCase{"bad_timecode", {"--at", "1:75"}, "needs a time"},
        RefusedCase{"at_with_a_range", {"--at", "1", "--start", "3"}, "'--at' names its frames"},
        RefusedCase{"keyframes_with_interval",
                    {"--keyframes", "--interval", "2"},
                    "'--keyframes' replaces '--interval'"},
        RefusedCase{"scenes_with_every",
                    {"--scenes", "--every", "1s"},
                    "'--scenes' chooses its frames itself"},
        RefusedCase{"scenes_above_100", {"--scenes", "101"}, "from 1 to 100, not 101"},
        RefusedCase{"name_without_frame_field", {"--name", "{movie}"}, "same name"},
        RefusedCase{"name_with_folder", {"--name", "x/{frame}"}, "path separator"},
        RefusedCase{"name_unknown_field", {"--name", "{frames}"}, "unknown field '{frames}'"},
        RefusedCase{"name_without_movie_for_two_movies",
                    {"--name", "{frame}", "--at", "0", "OTHER"},
                    "has no {movie}"},
        RefusedCase{"quality_without_jpeg", {"--quality", "90"}, "goes with '--format jpg'"},
        RefusedCase{
            "quality_above_100", {"--format", "jpg", "--quality", "101"}, "from 1 to 100, not 101"},
        RefusedCase{"start_time_after_end_time",
                    {"--start", "1s", "--end", "0:00.5"},
                    "start time lies after the end time"}),
    [](const testing::TestParamInfo<RefusedCase>& info) { return std::string(info.param.name); });

} // namespace
