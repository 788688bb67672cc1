#include "ExtractRun.h"
#include "core/BgrImage.h"
#include "core/BmpWriter.h"
#include "media/Movie.h"
#include "support/testmedia/TestMedia.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>

namespace {

namespace fs = std::filesystem;
using clitest::fileNames;
using clitest::freshFolder;
using clitest::readBytes;
using clitest::runExtract;
using testmedia::Codec;

constexpr int movieFrames = 30;

// One 30-frame movie per codec, written on first use and shared by every test.
fs::path movieFor(Codec codec) {
    static std::map<Codec, fs::path> movies;
    if (auto known = movies.find(codec); known != movies.end())
        return known->second;
    const fs::path file = freshFolder("movie-" + testmedia::codecName(codec)) / "clip.avi";
    testmedia::MovieRecipe recipe;
    recipe.codec = codec;
    recipe.frames = movieFrames;
    testmedia::writeMovie(file, recipe);
    return movies[codec] = file;
}

std::string frameFileName(int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "clip_%05d.bmp", frame);
    return name;
}

std::vector<std::string> frameFileNames(const std::vector<int>& frames) {
    std::vector<std::string> names;
    for (const int frame : frames)
        names.push_back(frameFileName(frame));
    return names;
}

std::string testName() {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "-" + info->name();
    for (char& c : name)
        if (c == '/')
            c = '-';
    return name;
}

// The exact bytes and the frame number of a written file, checked against our own decode.
void expectFrameFiles(const fs::path& movie, const fs::path& folder,
                      const std::vector<int>& frames) {
    ASSERT_EQ(fileNames(folder), frameFileNames(frames));
    media::Movie reference(movie);
    for (const int frame : frames) {
        const core::BgrImage picture = reference.frame(frame);
        EXPECT_EQ(readBytes(folder / frameFileName(frame)), core::encodeBmp(picture))
            << "frame " << frame;
        const testmedia::BgrView view{picture.bytes.data(), picture.width, picture.height,
                                      static_cast<int>(picture.stride())};
        EXPECT_EQ(testmedia::readFrameNumber(view), frame);
    }
}

struct RangeCase {
    const char* name;
    Codec codec;
    std::vector<std::string> options;
    std::vector<int> frames;
};

class ExtractRange : public testing::TestWithParam<RangeCase> {};

TEST_P(ExtractRange, WritesTheFramesOfTheRangeByteForByte) {
    const RangeCase& c = GetParam();
    const fs::path movie = movieFor(c.codec);
    const fs::path out = freshFolder(testName()) / "out";
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {"--out", out.string(), movie.string()});

    const clitest::RunResult run = runExtract(args, out.parent_path());

    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, ""); // no progress line when stderr is not a terminal
    expectFrameFiles(movie, out, c.frames);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtractRange,
    testing::Values(RangeCase{"mjpeg_interval",
                              Codec::Mjpeg,
                              {"--start", "3", "--end", "20", "--interval", "4"},
                              {3, 7, 11, 15, 19}},
                    RangeCase{"equals_form_stops_before_end",
                              Codec::Mjpeg,
                              {"--start=10", "--end=20", "--interval=3"},
                              {10, 13, 16, 19}},
                    RangeCase{
                        "single_last_frame", Codec::Mjpeg, {"--start", "29", "--end", "29"}, {29}},
                    RangeCase{"interval_past_end_writes_start",
                              Codec::Mjpeg,
                              {"--start", "25", "--interval", "9"},
                              {25}},
                    RangeCase{"mpeg4_bframes_across_key_frames",
                              Codec::Mpeg4BFrames,
                              {"--start", "5", "--interval", "7"},
                              {5, 12, 19, 26}},
                    RangeCase{"mpeg4_bframes_every_frame_of_a_stretch",
                              Codec::Mpeg4BFrames,
                              {"--start", "9", "--end", "14"},
                              {9, 10, 11, 12, 13, 14}},
                    RangeCase{"end_zero", Codec::Mjpeg, {"--end", "0"}, {0}},
                    RangeCase{"most_jobs", Codec::Mjpeg, {"--jobs", "64", "--end", "2"}, {0, 1, 2}},
                    RangeCase{"palettised_keeps_colour_table",
                              Codec::RawPal8,
                              {"--end", "6", "--interval", "2"},
                              {0, 2, 4, 6}}),
    [](const testing::TestParamInfo<RangeCase>& info) { return info.param.name; });

TEST(Extract, DefaultRangeWritesEveryFrameIntoTheCurrentFolder) {
    const fs::path movie = movieFor(Codec::RawBgr24);
    const fs::path work = freshFolder(testName());

    const clitest::RunResult run = runExtract({movie.string()}, work);

    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<int> every(movieFrames);
    for (int i = 0; i < movieFrames; ++i)
        every[static_cast<std::size_t>(i)] = i;
    expectFrameFiles(movie, work, every);
}

TEST(Extract, CreatesEveryMissingLevelOfTheFolder) {
    const fs::path movie = movieFor(Codec::Mjpeg);
    const fs::path out = freshFolder(testName()) / "a" / "b" / "c";

    const clitest::RunResult run =
        runExtract({"--start", "4", "--end", "4", "--out", out.string(), movie.string()}, "/");

    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(fileNames(out), frameFileNames({4}));
}

TEST(Extract, RunningTwiceReplacesTheFiles) {
    const fs::path movie = movieFor(Codec::Mjpeg);
    const fs::path out = freshFolder(testName());
    {
        std::FILE* stale = std::fopen((out / frameFileName(2)).c_str(), "wb");
        ASSERT_NE(stale, nullptr);
        std::fputs("stale", stale);
        std::fclose(stale);
    }
    const std::vector<std::string> args{"--end", "2", "--out", out.string(), movie.string()};

    EXPECT_EQ(runExtract(args, out).exitCode, 0);
    EXPECT_EQ(runExtract(args, out).exitCode, 0);

    expectFrameFiles(movie, out, {0, 1, 2});
}

// The run stops at the first file it cannot write: earlier files stay, later frames are not
// written, and the message names the movie, the file and the frame.
TEST(ExtractFailure, ReadOnlyFileStopsTheRunAtItsFrame) {
    const fs::path movie = movieFor(Codec::Mjpeg);
    const fs::path out = freshFolder(testName());
    const fs::path blocker = out / frameFileName(10);
    {
        std::FILE* file = std::fopen(blocker.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs("keep", file);
        std::fclose(file);
    }
    fs::permissions(blocker,
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    const clitest::RunResult run =
        runExtract({"--interval", "5", "--out", out.string(), movie.string()}, out);

    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(fileNames(out), frameFileNames({0, 5, 10}));
    EXPECT_EQ(readBytes(blocker), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p'}));
    EXPECT_NE(run.err.find(blocker.string()), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(movie.string() + ": frame 10"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.rfind("kirimo-extract: ", 0), 0u) << run.err;
}

// Jobs write stretches side by side; a file that cannot be written ends the movie there, and
// the frames after it that another job had written are taken back, as one job would leave it.
TEST(ExtractFailure, FramesOtherJobsWroteAfterTheFailureAreTakenBack) {
    const fs::path movie = movieFor(Codec::Mjpeg);
    const fs::path out = freshFolder(testName());
    const fs::path blocker = out / frameFileName(7);
    std::fclose(std::fopen(blocker.c_str(), "wb"));
    fs::permissions(blocker, fs::perms::owner_read);

    const clitest::RunResult run =
        runExtract({"--jobs", "2", "--out", out.string(), movie.string()}, out);

    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(fileNames(out), frameFileNames({0, 1, 2, 3, 4, 5, 6, 7})) << run.err;
    EXPECT_NE(run.err.find("frame 7"), std::string::npos) << run.err;
}

TEST(ExtractFailure, FolderThatCannotBeCreatedFailsTheFirstFile) {
    const fs::path movie = movieFor(Codec::Mjpeg);
    const fs::path root = freshFolder(testName());
    std::fclose(std::fopen((root / "plain-file").c_str(), "wb"));
    const fs::path out = root / "plain-file" / "frames";

    const clitest::RunResult run =
        runExtract({"--start", "3", "--out", out.string(), movie.string()}, root);

    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find((out / frameFileName(3)).string()), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("frame 3"), std::string::npos) << run.err;
}

enum class BadMovie { Missing, Empty, NotRiff };

class ExtractUnreadableMovie : public testing::TestWithParam<BadMovie> {};

TEST_P(ExtractUnreadableMovie, FailsNamingTheMovieAndWritesNothing) {
    const fs::path root = freshFolder(testName());
    const fs::path movie = root / "broken.avi";
    if (GetParam() == BadMovie::Empty)
        testmedia::writeMalformed(movie, testmedia::Malformed::Empty);
    if (GetParam() == BadMovie::NotRiff)
        testmedia::writeMalformed(movie, testmedia::Malformed::NotRiff);
    const fs::path out = root / "out";

    for (const bool info : {false, true}) {
        std::vector<std::string> args{"--out", out.string(), movie.string()};
        if (info)
            args.insert(args.begin(), "--info");
        const clitest::RunResult run = runExtract(args, root);

        EXPECT_EQ(run.exitCode, 1) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind("kirimo-extract: ", 0), 0u) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_NE(run.err.find("broken.avi"), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(out));
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, ExtractUnreadableMovie,
                         testing::Values(BadMovie::Missing, BadMovie::Empty, BadMovie::NotRiff));

} // namespace
