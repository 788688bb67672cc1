#include "ExtractRun.h"
#include "support/testmedia/ColourChart.h"
#include "support/testmedia/TestMedia.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

namespace fs = std::filesystem;
using clitest::runExtract;

// Stream 0: 10 frames of 96x64; stream 1: 5 red frames of 64x48; stream 2: a cover picture.
bool writeThreeStreams(const fs::path& file) {
    const std::string command =
        "ffmpeg -nostdin -v error -y -t 0.4 -f lavfi -i testsrc2=s=96x64:r=25 -t 0.2 -f lavfi "
        "-i color=red:s=64x48:r=25 -f lavfi -i color=blue:s=32x32 -map 0:v -map 1:v -map 2:v "
        "-frames:v:2 1 -c:v:0 libx264 -c:v:1 libx264 -c:v:2 png -disposition:v:2 attached_pic '" +
        file.string() + "'";
    return std::system(command.c_str()) == 0;
}

TEST(ExtractStreamChoice, InfoListsTheVideoStreamsAndEveryModeReadsTheOneAsked) {
    if (!testmedia::canEncodeCharts())
        GTEST_SKIP() << "no ffmpeg command line";
    const fs::path work = clitest::freshFolder("stream-choice");
    ASSERT_TRUE(writeThreeStreams(work / "three.mp4"));

    const clitest::RunResult best = runExtract({"--info", "three.mp4"}, work);
    EXPECT_NE(best.out.find("frames=10\nwidth=96\n"), std::string::npos) << best.out;
    EXPECT_NE(best.out.find("video_stream_0=h264,96x64,movie\nvideo_stream_1=h264,64x48,movie\n"
                            "video_stream_2=png,32x32,attached_picture\n"),
              std::string::npos)
        << best.out;
    const clitest::RunResult second = runExtract({"--info", "--stream", "1", "three.mp4"}, work);
    EXPECT_NE(second.out.find("frames=5\nwidth=64\nheight=48\n"), std::string::npos) << second.out;
    const std::string list = runExtract({"--list", "--stream", "1", "three.mp4"}, work).out;
    EXPECT_NE(list.find("\n4,"), std::string::npos) << list;
    EXPECT_EQ(list.find("\n5,"), std::string::npos) << list;

    ASSERT_EQ(runExtract({"--stream", "1", "--out", "out", "three.mp4"}, work).exitCode, 0);
    EXPECT_EQ(clitest::fileNames(work / "out").size(), 5u);
    const clitest::BmpPicture picture = clitest::readBmp(work / "out" / "three_00004.bmp");
    ASSERT_EQ(picture.width, 64);
    EXPECT_GT(picture.bytes[2], 200); // red, as blue, green, red
    EXPECT_LT(picture.bytes[0], 50);

    const clitest::RunResult missing = runExtract({"--info", "--stream", "3", "three.mp4"}, work);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("no video stream 3: the file has 3"), std::string::npos)
        << missing.err;
}

// The AVI engine numbers the chunks of one stream: another is refused, not silently replaced.
TEST(ExtractStreamChoice, AnAviFileRefusesAStreamButItsFirst) {
    const fs::path movie = testmedia::sharedMovie({});
    const fs::path work = clitest::freshFolder("stream-avi");

    const clitest::RunResult run = runExtract({"--stream", "1", movie.string()}, work);

    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("an AVI file is read by its first video stream only"), std::string::npos)
        << run.err;
    EXPECT_TRUE(fs::is_empty(work));
    EXPECT_EQ(runExtract({"--stream", "0", "--frames", "0", movie.string()}, work).exitCode, 0);
}

} // namespace
