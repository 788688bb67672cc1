#include "ExtractRun.h"
#include "support/testmedia/ColourChart.h"
#include "support/testmedia/RiffFile.h"
#include "support/testmedia/TestMedia.h"

#include <cctype>
#include <fstream>
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
        BadUsage{"interval_text",
                 {"--interval", "abc", "MOVIE"},
                 "'--interval' needs a whole number from 1 to 2147483647, not 'abc'"},
        BadUsage{"jobs_text", {"--jobs", "many", "MOVIE"}, "number from 1 to 64, not 'many'"},
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
        BadUsage{"end_past_last_frame",
                 {"--start", "31", "--end", "40", "MOVIE"},
                 "start frame 31 lies after the end frame 29"},
        BadUsage{"no_movie", {"--start", "1"}, "no movie given"},
        BadUsage{"movies_sharing_file_names", {"MOVIE", "MOVIE"}, "files of the same names"},
        BadUsage{"empty_out", {"MOVIE", "--out="}, "'--out' needs a folder name"},
        BadUsage{"info_with_value", {"--info=yes", "MOVIE"}, "'--info' takes no value"},
        BadUsage{"info_two_movies", {"--info", "MOVIE", "other.avi"}, "one movie at a time"},
        BadUsage{"json_without_info", {"--json", "MOVIE"}, "'--json' goes with '--info'"},
        BadUsage{"list_empty_part", {"--frames", "1,,2", "MOVIE"}, "has an empty part"},
        BadUsage{"list_trailing_comma", {"--frames", "1,", "MOVIE"}, "has an empty part"},
        BadUsage{"list_reversed", {"--frames", "9-3", "MOVIE"}, "'9-3': the range runs backwards"},
        BadUsage{"list_step_zero", {"--frames", "0-9/0", "MOVIE"}, "the step must be 1 or more"},
        BadUsage{"list_step_alone", {"--frames", "5/2", "MOVIE"}, "a step needs a range"},
        BadUsage{"list_not_a_number", {"--frames", "3-x", "MOVIE"}, "not 'x'"},
        BadUsage{"list_negative", {"--frames", "-4", "MOVIE"}, "not ''"},
        BadUsage{"list_past_movie",
                 {"--frames", "0,12-40/5", "MOVIE"},
                 "frame 40 lies past the last frame 29"},
        BadUsage{"list_with_range", {"--frames", "1", "--end", "3", "MOVIE"}, "replaces"},
        BadUsage{"list_with_interval", {"--interval", "2", "--frames", "1", "MOVIE"}, "replaces"},
        // 5 digits and ".bmp" make 301 bytes.
        BadUsage{"name_too_long",
                 {"--name", "{frame}" + std::string(292, 'n'), "MOVIE"},
                 "names of up to 301 bytes"},
        BadUsage{"format_unknown", {"--format", "gif", "MOVIE"}, "bmp, png, jpg or raw, not 'gif'"},
        BadUsage{"jobs_zero", {"--jobs", "0", "MOVIE"}, "jobs must be from 1 to 64"},
        BadUsage{"jobs_past_most", {"--jobs", "65", "MOVIE"}, "from 1 to 64, not 65"},
        BadUsage{"size_zero_side", {"--size", "0x10", "MOVIE"}, "needs sides from 1 to 16384"},
        BadUsage{"size_negative", {"--size", "-5x", "MOVIE"}, "the size '-5x' is not understood"},
        BadUsage{"size_no_side", {"--size", "x", "MOVIE"}, "give WxH, Wx, xH or N%"},
        BadUsage{"size_two_crosses", {"--size", "4x4x4", "MOVIE"}, "not understood"},
        BadUsage{"size_too_wide", {"--size", "16385x", "MOVIE"}, "needs sides from 1 to 16384"},
        BadUsage{"size_no_percent", {"--size", "0%", "MOVIE"}, "from 1% to"},
        // 128 x 96 pictures: 12801% makes them 16385 wide
        BadUsage{"size_percent_too_big", {"--size", "12801%", "MOVIE"}, "16385x12289: over 16384"},
        BadUsage{"size_side_makes_other_too_big", {"--size", "x12289", "MOVIE"}, "16385x12289"}),
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

const std::string jpegFormat = "pixel_format=yuvj420p\nbit_depth=8\nfield_order=unknown\n";
// JPEG declares BT.601 in full range; raw RGB needs no matrix; neither says its primaries.
const std::string jpegColours = "color_matrix=bt470bg\ncolor_range=pc\n"
                                "color_primaries=unknown (assumed bt709)\n"
                                "color_transfer=unknown (assumed bt709)\nhdr=no\n";
const std::string rgbColours =
    "color_matrix=unknown (assumed gbr)\ncolor_range=unknown (assumed pc)\n"
    "color_primaries=unknown (assumed bt709)\n"
    "color_transfer=unknown (assumed bt709)\nhdr=no\n";

struct InfoCase {
    const char* name;
    testmedia::MovieRecipe recipe;
    std::string expected;
    std::vector<std::string> options = {};
    std::uint32_t rate = 0; // with scale: the stream header's rate, as NTSC movies carry it
    std::uint32_t scale = 0;
};

void setStreamRate(const fs::path& movie, std::uint32_t rate, std::uint32_t scale) {
    testmedia::RiffFile riff(clitest::readBytes(movie));
    const auto hdrl = riff.require(riff.root(), "LIST", "hdrl");
    const auto strh = riff.require(riff.require(hdrl, "LIST", "strl"), "strh");
    riff.write32(strh.dataOffset() + 20, scale);
    riff.write32(strh.dataOffset() + 24, rate);
    std::ofstream(movie, std::ios::binary)
        .write(reinterpret_cast<const char*>(riff.bytes().data()),
               static_cast<std::streamsize>(riff.bytes().size()));
}

class ExtractInfo : public testing::TestWithParam<InfoCase> {};

TEST_P(ExtractInfo, PrintsFramesSizeAndRateAndWritesNothing) {
    const InfoCase& c = GetParam();
    const fs::path work = freshFolder(std::string("info-") + c.name);
    const fs::path movie = work / "clip.avi";
    testmedia::writeMovie(movie, c.recipe);
    if (c.rate > 0)
        setStreamRate(movie, c.rate, c.scale);
    std::vector<std::string> args{"--info"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back("clip.avi");

    const clitest::RunResult run = runExtract(args, work);

    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, c.expected);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(fileNames(work), std::vector<std::string>{"clip.avi"});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtractInfo,
    testing::Values(
        InfoCase{"mjpeg", recipe(testmedia::Codec::Mjpeg, 128, 96, 30, 25),
                 "frames=30\nwidth=128\nheight=96\nrotation=0\nmirrored=no\nsar=1:1\n"
                 "display_width=128\ndisplay_height=96\nfps=25\nduration=1.200\ncontainer=avi\n"
                 "codec=mjpeg\n" +
                     jpegFormat + jpegColours + "video_stream_0=mjpeg,128x96,movie\n"},
        InfoCase{"raw", recipe(testmedia::Codec::RawBgr24, 64, 48, 7, 30),
                 "frames=7\nwidth=64\nheight=48\nrotation=0\nmirrored=no\nsar=1:1\n"
                 "display_width=64\ndisplay_height=48\nfps=30\nduration=0.233\ncontainer=avi\n"
                 "codec=rawvideo\npixel_format=bgr24\nbit_depth=8\nfield_order=unknown\n" +
                     rgbColours + "video_stream_0=rawvideo,64x48,movie\n"},
        InfoCase{"ntsc_rate_two_decimals",
                 recipe(testmedia::Codec::Mjpeg, 64, 48, 3, 30),
                 "frames=3\nwidth=64\nheight=48\nrotation=0\nmirrored=no\nsar=1:1\n"
                 "display_width=64\ndisplay_height=48\nfps=29.97\nduration=0.100\ncontainer=avi\n"
                 "codec=mjpeg\n" +
                     jpegFormat + jpegColours + "video_stream_0=mjpeg,64x48,movie\n",
                 {},
                 30000,
                 1001},
        InfoCase{"film_rate_three_decimals",
                 recipe(testmedia::Codec::Mjpeg, 64, 48, 3, 24),
                 "frames=3\nwidth=64\nheight=48\nrotation=0\nmirrored=no\nsar=1:1\n"
                 "display_width=64\ndisplay_height=48\nfps=23.976\nduration=0.125\ncontainer=avi\n"
                 "codec=mjpeg\n" +
                     jpegFormat + jpegColours + "video_stream_0=mjpeg,64x48,movie\n",
                 {},
                 24000,
                 1001},
        InfoCase{"json",
                 recipe(testmedia::Codec::RawPal8, 64, 48, 5, 25),
                 R"({"file":"clip.avi","frames":5,"width":64,"height":48,)"
                 R"("rotation":0,"mirrored":false,"sar":"1:1","display_width":64,)"
                 R"("display_height":48,"fps":25,"duration":0.200,)"
                 R"("container":"avi","codec":"rawvideo","pixel_format":"pal8","bit_depth":8,)"
                 R"("field_order":"unknown",)"
                 R"("color_matrix":"unknown","color_matrix_assumed":"gbr",)"
                 R"("color_range":"unknown","color_range_assumed":"pc",)"
                 R"("color_primaries":"unknown","color_primaries_assumed":"bt709",)"
                 R"("color_transfer":"unknown","color_transfer_assumed":"bt709","hdr":"no",)"
                 R"("palettised":true,"truncated":false,)"
                 R"("claimed_frames":5,"video_streams":[{"stream":0,"codec":"rawvideo",)"
                 R"("width":64,"height":48,"attached_picture":false}]})"
                 "\n",
                 {"--json"}}),
    [](const testing::TestParamInfo<InfoCase>& info) { return info.param.name; });

struct ColourInfoCase {
    const char* name;
    testmedia::ChartCoding coding;
    int width;
    int height;
    const char* expected; // the colour lines
};

class ExtractColourInfo : public testing::TestWithParam<ColourInfoCase> {};

// What a movie declares is printed by FFmpeg's names; what it leaves out, with the players'
// guess that the pictures are then read by (BT.709 only above 1024x576).
TEST_P(ExtractColourInfo, PrintsDeclaredAndAssumedColours) {
    const ColourInfoCase& c = GetParam();
    if (!testmedia::canEncodeCharts())
        GTEST_SKIP() << "no ffmpeg command line with zscale";
    const fs::path movie = testmedia::sharedChartMovie(c.coding, c.width, c.height);
    const clitest::RunResult run =
        runExtract({"--info", movie.string()}, freshFolder(std::string("colour-") + c.name));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find(c.expected), std::string::npos) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtractColourInfo,
    testing::Values(
        ColourInfoCase{"untagged_hd", testmedia::ChartCoding::Untagged709, 1280, 32,
                       "color_matrix=unknown (assumed bt709)\ncolor_range=unknown (assumed tv)\n"
                       "color_primaries=unknown (assumed bt709)\n"
                       "color_transfer=unknown (assumed bt709)\nhdr=no\n"},
        ColourInfoCase{"untagged_sd", testmedia::ChartCoding::Untagged601, 1024, 32,
                       "color_matrix=unknown (assumed smpte170m)\n"},
        ColourInfoCase{"hdr10", testmedia::ChartCoding::Hdr10, 256, 32,
                       "color_matrix=bt2020nc\ncolor_range=tv\ncolor_primaries=bt2020\n"
                       "color_transfer=smpte2084\nhdr=pq\n"},
        ColourInfoCase{"hlg", testmedia::ChartCoding::Hlg, 256, 32,
                       "color_transfer=arib-std-b67\nhdr=hlg\n"}),
    [](const testing::TestParamInfo<ColourInfoCase>& info) { return info.param.name; });

// Fails when the stream's own format is not read (8 bits for every movie) or a declared colour
// reads as assumed in the JSON form.
TEST(ExtractInfoOutput, TellsTheStreamsDepthAndItsDeclaredColours) {
    if (!testmedia::canEncodeCharts())
        GTEST_SKIP() << "no ffmpeg command line with zscale";
    const fs::path movie = testmedia::sharedChartMovie(testmedia::ChartCoding::Hdr10, 256, 32);
    const fs::path work = freshFolder("info-depth");
    const clitest::RunResult text = runExtract({"--info", movie.string()}, work);
    EXPECT_NE(text.out.find("\npixel_format=yuv420p10le\nbit_depth=10\nfield_order=progressive\n"),
              std::string::npos)
        << text.out;
    const clitest::RunResult json = runExtract({"--info", "--json", movie.string()}, work);
    EXPECT_NE(json.out.find(R"("color_matrix":"bt2020nc","color_matrix_assumed":null,)"),
              std::string::npos)
        << json.out;
}

TEST(ExtractInfoOutput, AFullStandardOutputFailsTheRun) {
    const fs::path work = freshFolder("info-full");
    const clitest::RunResult run = runExtract({"--info", usageMovie().string()}, work, "/dev/full");

    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("cannot write to standard output"), std::string::npos) << run.err;
}

TEST(ExtractFormat, TakesTheFormatNameInAnyCase) {
    for (const char* format : {"PNG", "Png", "BMP"}) {
        const fs::path work = freshFolder(std::string("format-") + format);
        const clitest::RunResult run = runExtract(
            {"--format", format, "--end", "1", "--out", "out", usageMovie().string()}, work);

        EXPECT_EQ(run.exitCode, 0) << run.err;
        const std::string ending = format[0] == 'P' ? ".png" : ".bmp";
        EXPECT_EQ(fileNames(work / "out"),
                  (std::vector<std::string>{"clip_00000" + ending, "clip_00001" + ending}));
    }
}

// One command line for movies of different lengths: an end past one's end is its last frame.
TEST(ExtractRange, TakesAnEndPastTheMovieAsItsLastFrameWithANote) {
    const fs::path work = freshFolder("end-past-movie");
    const clitest::RunResult run = runExtract(
        {"--end", "2m", "--interval", "10", "--out", "out", usageMovie().string()}, work);

    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(fileNames(work / "out"),
              (std::vector<std::string>{"clip_00000.bmp", "clip_00010.bmp", "clip_00020.bmp"}));
    EXPECT_NE(run.err.find("clip.avi': --end 120.000 s is past the end; taking the last frame, 29"),
              std::string::npos)
        << run.err;
}

TEST(ExtractVersion, NamesProgramReleaseAndLicenceEvenWithOtherArguments) {
    const fs::path work = freshFolder("version");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--version"}, std::vector<std::string>{"a.avi", "--version"}}) {
        const clitest::RunResult run = runExtract(args, work);

        EXPECT_EQ(run.exitCode, 0);
        const std::string first = run.out.substr(0, run.out.find('\n'));
        EXPECT_TRUE(first.starts_with("kirimo-extract ") && first.size() > 15 &&
                    std::isdigit(static_cast<unsigned char>(first[15])))
            << first;
        EXPECT_NE(run.out.find("\nLicense MIT: "), std::string::npos) << run.out;
        EXPECT_EQ(run.err, "");
    }
}

// Quotes, backslashes and control characters in a file name would break the JSON object.
TEST(ExtractInfoOutput, JsonEscapesTheFileName) {
    const fs::path work = freshFolder("info-json-name");
    const std::string name = "q\"b\\s\x01t\x1f.avi";
    fs::copy_file(usageMovie(), work / name);

    const clitest::RunResult run = runExtract({"--info", "--json", name}, work);

    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.rfind(R"({"file":"q\"b\\s\u0001t\u001f.avi",)", 0), 0u) << run.out;
}

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
