#include "ExtractRun.h"
#include "support/testmedia/ColourChart.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using clitest::readBytes;
using clitest::runExtract;

// 12 frames of a picture panning 6 pixels a field, woven from two moments 1/50 s apart and coded
// as fields: MPEG-2 top field first in key-frame intervals of 5 with B-frames, or DV in AVI (its
// own engine) bottom field first. "still": MPEG-2 of a still picture of one-pixel stripes.
// "plain": MPEG-2 of whole frames.
fs::path writeMovie(const fs::path& folder, const std::string& kind) {
    const bool dv = kind == "dv";
    const fs::path movie = folder / (kind + (dv ? ".avi" : ".mpg"));
    const std::string mpeg2 = " -c:v mpeg2video -g 5 -bf 2 -q:v 2";
    const std::string fields = "setfield=tff -flags +ilme+ildct -top 1" + mpeg2;
    std::string recipe;
    if (dv)
        recipe = "testsrc=size=1000x576:rate=50 -vf crop=720:576:x=n*6:y=0,"
                 "tinterlace=mode=interleave_bottom,setfield=bff -c:v dvvideo -pix_fmt yuv420p";
    else if (kind == "still")
        recipe = "color=gray:size=128x96:rate=50 -vf format=yuv420p,"
                 "geq=lum='if(mod(Y\\,2)\\,200\\,40)':cb=128:cr=128,"
                 "tinterlace=mode=interleave_top," +
                 fields;
    else if (kind == "plain")
        recipe = "testsrc2=size=128x96:rate=25" + mpeg2;
    else
        recipe = "testsrc=size=400x96:rate=50 -vf crop=128:96:x=n*6:y=0,"
                 "tinterlace=mode=interleave_top," +
                 fields;
    const std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i " + recipe +
                                " -frames:v 12 '" + movie.string() + "'";
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

// How far the rows of one field (0: top, 1: bottom) moved from the woven picture to the
// deinterlaced one: the mean change of luma, which the chroma rows the fields share leave be.
double fieldChange(const clitest::BmpPicture& woven, const clitest::BmpPicture& made, int field) {
    const auto luma = [](const clitest::BmpPicture& picture, int y, int x) {
        const std::uint8_t* p =
            &picture.bytes[static_cast<std::size_t>(y * picture.stride + 3 * x)];
        return 0.114 * p[0] + 0.587 * p[1] + 0.299 * p[2];
    };
    double change = 0;
    int count = 0;
    for (int y = field; y < woven.height; y += 2)
        for (int x = 0; x < woven.width; ++x, ++count)
            change += std::abs(luma(woven, y, x) - luma(made, y, x));
    return change / count;
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
    run("as-stored", {"--jobs", "1"});
    run("whole", {"--deinterlace", "--jobs", "1"});
    run("jobs", {"--deinterlace", "--jobs", "3"});
    for (const int frame : {0, 5, 7, 11})
        run("alone" + std::to_string(frame), {"--deinterlace", "--frames", std::to_string(frame)});

    for (int frame = 0; frame < 12; ++frame) {
        SCOPED_TRACE(frame);
        const std::vector<std::uint8_t> whole =
            readBytes(work / "whole" / fileOf(GetParam().c_str(), frame));
        ASSERT_FALSE(whole.empty());
        EXPECT_EQ(readBytes(work / "jobs" / fileOf(GetParam().c_str(), frame)), whole);
        const fs::path alone =
            work / ("alone" + std::to_string(frame)) / fileOf(GetParam().c_str(), frame);
        if (fs::exists(alone.parent_path())) {
            EXPECT_EQ(readBytes(alone), whole);
        }
        const double before =
            combing(clitest::readBmp(work / "as-stored" / fileOf(GetParam().c_str(), frame)));
        const double after =
            combing(clitest::readBmp(work / "whole" / fileOf(GetParam().c_str(), frame)));
        EXPECT_LT(after, before / 2);
        // The field shown first passes through; the later one is made from it (DV: bottom).
        const clitest::BmpPicture woven =
            clitest::readBmp(work / "as-stored" / fileOf(GetParam().c_str(), frame));
        const clitest::BmpPicture made =
            clitest::readBmp(work / "whole" / fileOf(GetParam().c_str(), frame));
        const int first = GetParam() == "dv" ? 1 : 0;
        EXPECT_LT(fieldChange(woven, made, first), fieldChange(woven, made, 1 - first) / 4);
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, ExtractDeinterlace, testing::Values("mpeg2", "dv"));

TEST(ExtractDeinterlaceProgressive, LeavesProgressiveFramesAsTheyAre) {
    if (!testmedia::canEncodeCharts())
        GTEST_SKIP() << "no ffmpeg command line";
    const fs::path work = clitest::freshFolder("deinterlace-progressive");
    const fs::path movie = writeMovie(work, "plain");
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

// Fails when --info reads the field order from anywhere but the stream's declaration.
TEST(ExtractDeinterlaceInfo, SaysTheFieldOrderTheStreamDeclares) {
    if (!testmedia::canEncodeCharts())
        GTEST_SKIP() << "no ffmpeg command line";
    const fs::path work = clitest::freshFolder("deinterlace-info");
    for (const auto& [kind, order] :
         {std::pair{"mpeg2", "tff"}, std::pair{"plain", "progressive"}}) {
        const fs::path movie = writeMovie(work, kind);
        ASSERT_FALSE(movie.empty());
        const clitest::RunResult run = runExtract({"--info", movie.string()}, work);
        EXPECT_NE(run.out.find("\nfield_order=" + std::string(order) + "\n"), std::string::npos)
            << run.out;
    }
}

// Where nothing moves, bwdif weaves the fields from the frames around: first and last frames
// too, where the filter left to itself fills the missing lines from one field or weaves as is.
TEST(ExtractDeinterlaceStill, KeepsTheDetailOfAStillPicture) {
    if (!testmedia::canEncodeCharts())
        GTEST_SKIP() << "no ffmpeg command line";
    const fs::path work = clitest::freshFolder("deinterlace-still");
    const fs::path movie = writeMovie(work, "still");
    ASSERT_FALSE(movie.empty());
    ASSERT_EQ(runExtract({"--deinterlace", "--out", (work / "out").string(), movie.string()}, work)
                  .exitCode,
              0);
    for (const int frame : {0, 6, 11}) {
        const clitest::BmpPicture picture = clitest::readBmp(work / "out" / fileOf("still", frame));
        ASSERT_EQ(picture.height, 96);
        int flat = 0; // rows no brighter or darker than the row below
        for (int y = 0; y + 1 < picture.height; ++y)
            flat += std::abs(picture.bytes[y * picture.stride + 60] -
                             picture.bytes[(y + 1) * picture.stride + 60]) < 100;
        EXPECT_EQ(flat, 0) << frame;
    }
}

} // namespace
