#include "ExtractRun.h"
#include "support/testmedia/ColourChart.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using clitest::fileNames;
using clitest::freshFolder;
using clitest::runExtract;

// 156 frames of 160 x 120 at 25 a second, joined by the ffmpeg command line from clips of
// their own: a test pattern; a hard cut at 40 to a fractal that flashes white at 55 and 56; a
// cross-fade over frames 68 to 79 into a field of cells, clean from 80; a hard cut at 108 to
// colour bars; a pixel dissolve over frames 126 to 137 into a colour spectrum, clean from 138.
const fs::path& shotsMovie() {
    static const fs::path movie = [] {
        const fs::path file = freshFolder("shots-movie") / "shots.mp4";
        const std::string clip = ",settb=1/25,setpts=N,format=yuv420p";
        const std::string graph =
            "testsrc2=s=160x120:r=25,trim=end_frame=40" + clip +
            "[a];mandelbrot=s=160x120:r=25,trim=end_frame=40" + clip +
            ",drawbox=w=iw:h=ih:color=white:t=fill:enable='between(n,15,16)'[b];"
            "life=s=160x120:r=25:mold=10:ratio=0.1:death_color=#C83232:life_color=#00ff00,"
            "trim=end_frame=40" +
            clip + "[c];smptebars=s=160x120:r=25,trim=end_frame=30" + clip +
            "[d];colorspectrum=s=160x120:r=25:type=all,trim=end_frame=30" + clip +
            "[e];[a][b]concat=n=2:v=1:a=0,settb=1/25,setpts=N[ab];"
            "[ab][c]xfade=transition=fade:duration=0.48:offset=2.72,settb=1/25,setpts=N[abc];"
            "[abc][d]concat=n=2:v=1:a=0,settb=1/25,setpts=N[abcd];"
            "[abcd][e]xfade=transition=dissolve:duration=0.48:offset=5.04[out]";
        const std::string command = "ffmpeg -nostdin -v error -y -filter_complex \"" + graph +
                                    "\" -map '[out]' -c:v libx264 -crf 18 -g 50 -bf 2 '" +
                                    file.string() + "'";
        if (std::system(command.c_str()) != 0)
            return fs::path();
        return file;
    }();
    return movie;
}

std::vector<int> firstColumn(const std::string& csv) {
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line); // the header
    std::vector<int> frames;
    while (std::getline(lines, line))
        frames.push_back(std::stoi(line));
    return frames;
}

// Cuts on their frame, each fade once at its first clean frame (or one either side), and the
// flash not at all: a flash is a jump and a jump back, which a plain difference threshold
// takes for two cuts.
TEST(ExtractShots, CutsOnTheirFrameFadesOnceFlashesNever) {
    if (!testmedia::canEncodeCharts() || shotsMovie().empty())
        GTEST_SKIP() << "no ffmpeg command line with its lavfi sources";
    const fs::path work = freshFolder("shots-list");
    const clitest::RunResult run = runExtract({"--list", "--scenes", shotsMovie().string()}, work);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.rfind("frame,seconds,score\n0,0.000000,", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("\n40,1.600000,"), std::string::npos) << run.out;
    const std::vector<int> frames = firstColumn(run.out);
    ASSERT_EQ(frames.size(), 5u) << run.out;
    EXPECT_EQ(frames[1], 40);
    EXPECT_NEAR(frames[2], 80, 1);
    EXPECT_EQ(frames[3], 108);
    EXPECT_NEAR(frames[4], 138, 1);
}

// Within --start and --end, whose first frame starts a shot; the files are the frames listed,
// by their own numbers.
TEST(ExtractShots, WritesTheShotsOfTheSelection) {
    if (!testmedia::canEncodeCharts() || shotsMovie().empty())
        GTEST_SKIP() << "no ffmpeg command line with its lavfi sources";
    const fs::path work = freshFolder("shots-files");
    const clitest::RunResult run = runExtract(
        {"--scenes=35", "--start", "30", "--end", "120", "--out", "out", shotsMovie().string()},
        work);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> files = fileNames(work / "out");
    ASSERT_EQ(files.size(), 4u);
    EXPECT_EQ(files[0], "shots_00030.bmp");
    EXPECT_EQ(files[1], "shots_00040.bmp");
    EXPECT_EQ(files[3], "shots_00108.bmp");
}

} // namespace
