#include "ExtractRun.h"
#include "support/testmedia/ColourChart.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using clitest::readBytes;
using clitest::runExtract;

// 12 frames woven from two moments 1/50 s apart, coded as fields: MPEG-2 top field first in
// key-frame intervals of 5 with B-frames, or DV in AVI (its own engine) bottom field first. With
// `woven` false, the MPEG-2 movie of whole frames.
fs::path writeMovie(const fs::path& folder, const std::string& kind, bool woven = true) {
    const bool dv = kind == "dv";
    const fs::path movie = folder / (woven ? (dv ? "woven.avi" : "woven.mpg") : "plain.mpg");
    std::string source = "testsrc2=size=" + std::string(dv ? "720x576" : "128x96") + ":rate=";
    std::string coding =
        dv ? " -c:v dvvideo -pix_fmt yuv420p" : " -c:v mpeg2video -g 5 -bf 2 -q:v 2";
    if (!woven)
        source += "25";
    else if (dv)
        source += "50 -vf tinterlace=mode=interleave_bottom,setfield=bff";
    else
        source += "50 -vf tinterlace=mode=interleave_top,setfield=tff -flags +ilme+ildct -top 1";
    const std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i " + source +
                                " -frames:v 12" + coding + " '" + movie.string() + "'";
    if (std::system(command.c_str()) != 0)
        return {};
    return movie;
}

// How far each row strays from the mean of the rows above and below it: woven fields of a moving
// picture comb every other row.
double combing(const clitest::BmpPicture& picture) {
    double energy = 0;
    for (int y = 1; y + 1 < picture.height; ++y)
        for (int x = 0; x < picture.width * 3; ++x) {
            const auto at = [&](int row) {
                return static_cast<double>(picture.bytes[row * picture.stride + x]);
            };
            const double off = at(y) - (at(y - 1) + at(y + 1)) / 2;
            energy += off * off;
        }
    return energy;
}

std::string fileOf(const char* stem, int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "%s_%05d.bmp", stem, frame);
    return name;
}

// bwdif looks at the frames before and after: a frame must come out the same whether it was
// reached by decoding on, by a seek (to a key frame: 5, whose frame before lies behind that key),
// at either end of the movie, or by a job that starts in the middle; and combed at neither end.
class ExtractDeinterlace : public testing::TestWithParam<std::string> {};

TEST_P(ExtractDeinterlace, GivesEachFrameTheSamePictureHoweverItIsReached) {
    if (!testmedia::canEncodeCharts())
        GTEST_SKIP() << "no ffmpeg command line";
    const fs::path work = clitest::freshFolder("deinterlace-" + GetParam());
    const fs::path movie = writeMovie(work, GetParam());
    ASSERT_FALSE(movie.empty());
    const auto run = [&](const std::string& out, std::vector<std::string> options) {
        options.insert(options.end(), {"--out", (work / out).string(), movie.string()});
        const clitest::RunResult result = runExtract(options, work);
        EXPECT_EQ(result.exitCode, 0) << out << ": " << result.err;
    };
    run("woven", {"--jobs", "1"});
    run("whole", {"--deinterlace", "--jobs", "1"});
    run("jobs", {"--deinterlace", "--jobs", "3"});
    for (const int frame : {0, 5, 7, 11})
        run("alone" + std::to_string(frame), {"--deinterlace", "--frames", std::to_string(frame)});

    for (int frame = 0; frame < 12; ++frame) {
        SCOPED_TRACE(frame);
        const std::vector<std::uint8_t> whole = readBytes(work / "whole" / fileOf("woven", frame));
        ASSERT_FALSE(whole.empty());
        EXPECT_EQ(readBytes(work / "jobs" / fileOf("woven", frame)), whole);
        const fs::path alone = work / ("alone" + std::to_string(frame)) / fileOf("woven", frame);
        if (fs::exists(alone.parent_path())) {
            EXPECT_EQ(readBytes(alone), whole);
        }
        const double before = combing(clitest::readBmp(work / "woven" / fileOf("woven", frame)));
        const double after = combing(clitest::readBmp(work / "whole" / fileOf("woven", frame)));
        EXPECT_LT(after, before / 2);
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, ExtractDeinterlace, testing::Values("mpeg2", "dv"));

TEST(ExtractDeinterlaceProgressive, LeavesProgressiveFramesAsTheyAre) {
    if (!testmedia::canEncodeCharts())
        GTEST_SKIP() << "no ffmpeg command line";
    const fs::path work = clitest::freshFolder("deinterlace-progressive");
    const fs::path movie = writeMovie(work, "mpeg2", false);
    ASSERT_FALSE(movie.empty());
    for (const char* out : {"as-is", "asked"}) {
        std::vector<std::string> args{"--out", (work / out).string(), movie.string()};
        if (out == std::string("asked"))
            args.insert(args.begin(), "--deinterlace");
        ASSERT_EQ(runExtract(args, work).exitCode, 0);
    }
    for (int frame = 0; frame < 12; ++frame) {
        const std::vector<std::uint8_t> asIs = readBytes(work / "as-is" / fileOf("plain", frame));
        ASSERT_FALSE(asIs.empty());
        EXPECT_EQ(readBytes(work / "asked" / fileOf("plain", frame)), asIs) << frame;
    }
}

} // namespace
