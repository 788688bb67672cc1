#include "ExtractRun.h"
#include "support/testmedia/TestMedia.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <png.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using clitest::runExtract;

constexpr int width = 64; // the encoder's smallest
constexpr int height = 48;

// Sample `plane` (0 green, 1 blue, 2 red, as planar RGB stores them) of a pixel of frame `frame`:
// 10 bits spread over the whole scale, full scale at the top-left corner.
std::uint16_t sampleOf(int plane, int x, int y, int frame) {
    if (x == 0 && y == 0)
        return 1023;
    return static_cast<std::uint16_t>((x * 67 + y * 131 + plane * 311 + frame * 97) * 7 % 1024);
}

// Two frames of 10-bit planar RGB, coded losslessly (HEVC), tagged with `colour` (ffmpeg
// options) and `x265` parameters such as a mastering display. False without the encoder.
bool writeTenBitMovie(const fs::path& file, const std::string& colour, const std::string& x265) {
    const fs::path raw = file.parent_path() / "samples.raw";
    {
        std::ofstream out(raw, std::ios::binary);
        for (int frame = 0; frame < 2; ++frame)
            for (int plane = 0; plane < 3; ++plane)
                for (int y = 0; y < height; ++y)
                    for (int x = 0; x < width; ++x) {
                        const std::uint16_t value = sampleOf(plane, x, y, frame);
                        const char bytes[2] = {static_cast<char>(value & 0xFF),
                                               static_cast<char>(value >> 8)};
                        out.write(bytes, 2);
                    }
    }
    const std::string command =
        "ffmpeg -nostdin -v error -y -f rawvideo -pix_fmt gbrp10le -s 64x48 -r 25 -i '" +
        raw.string() + "' -c:v libx265 -x265-params 'lossless=1:log-level=error" + x265 + "' " +
        colour + " -colorspace rgb '" + file.string() + "' 2>/dev/null";
    return std::system(command.c_str()) == 0;
}

struct DeepPng {
    int bitDepth = 0;
    std::vector<std::uint16_t> rgb;                          // rows top first
    std::map<std::string, std::vector<std::uint8_t>> chunks; // cICP, mDCV, cLLI as stored
};

DeepPng readDeepPng(const fs::path& file) {
    DeepPng result;
    std::FILE* in = std::fopen(file.c_str(), "rb");
    if (in == nullptr)
        return result;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_byte> row;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, in);
        png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_ALWAYS, nullptr, 0);
        png_read_info(png, info);
        result.bitDepth = png_get_bit_depth(png, info);
        png_unknown_chunkp unknown = nullptr;
        const int count = png_get_unknown_chunks(png, info, &unknown);
        for (int i = 0; i < count; ++i)
            result.chunks[reinterpret_cast<const char*>(unknown[i].name)] =
                std::vector<std::uint8_t>(unknown[i].data, unknown[i].data + unknown[i].size);
        row.resize(png_get_rowbytes(png, info));
        for (png_uint_32 y = 0; y < png_get_image_height(png, info); ++y) {
            png_read_row(png, row.data(), nullptr);
            for (std::size_t i = 0; result.bitDepth == 16 && i + 1 < row.size(); i += 2)
                result.rgb.push_back(static_cast<std::uint16_t>(row[i] << 8 | row[i + 1]));
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(in);
    return result;
}

// Every sample of the movie, widened from 10 bits to 16 as the top bits repeated below them.
void expectSamplesOf(const DeepPng& png, int frame) {
    ASSERT_EQ(png.bitDepth, 16);
    ASSERT_EQ(png.rgb.size(), static_cast<std::size_t>(width * height * 3));
    int wrong = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int channel = 0; channel < 3; ++channel) {
                const int plane = channel == 0 ? 2 : channel - 1; // red, green, blue
                const std::uint16_t value = sampleOf(plane, x, y, frame);
                const std::uint16_t widened = static_cast<std::uint16_t>(value << 6 | value >> 4);
                wrong +=
                    png.rgb[(static_cast<std::size_t>(y) * width + x) * 3 + channel] != widened;
            }
    EXPECT_EQ(wrong, 0) << "frame " << frame;
    EXPECT_EQ(png.rgb[0], 65535); // full scale stays full scale
}

const std::string pq = "-color_primaries bt2020 -color_trc smpte2084";
const std::string mastering = ":master-display=G(13250,34500)B(7500,3000)R(34000,16000)"
                              "WP(15635,16450)L(10000000,50):max-cll=1000,400";

TEST(ExtractDeepPng, HdrKeepWritesTheMoviesOwnSamplesWithTheChunksThatSayHdr) {
    const fs::path work = clitest::freshFolder("deep-hdr");
    if (!writeTenBitMovie(work / "pq.mkv", pq, mastering))
        GTEST_SKIP() << "no ffmpeg command line with libx265";
    ASSERT_EQ(
        runExtract({"--hdr", "keep", "--format", "png", "--out", "out", "pq.mkv"}, work).exitCode,
        0);
    for (int frame = 0; frame < 2; ++frame) {
        const DeepPng png =
            readDeepPng(work / "out" / ("pq_0000" + std::to_string(frame) + ".png"));
        expectSamplesOf(png, frame);
        // BT.2020, PQ, RGB, full range.
        EXPECT_EQ(png.chunks.at("cICP"), (std::vector<std::uint8_t>{9, 16, 0, 1}));
        // Red, green, blue, white in 0.00002; 1000 and 0.005 cd/m² in 0.0001.
        EXPECT_EQ(png.chunks.at("mDCV"),
                  (std::vector<std::uint8_t>{0x84, 0xD0, 0x3E, 0x80, 0x33, 0xC2, 0x86, 0xC4,
                                             0x1D, 0x4C, 0x0B, 0xB8, 0x3D, 0x13, 0x40, 0x42,
                                             0x00, 0x98, 0x96, 0x80, 0x00, 0x00, 0x00, 0x32}));
        // 1000 and 400 cd/m² in 0.0001.
        EXPECT_EQ(png.chunks.at("cLLI"),
                  (std::vector<std::uint8_t>{0x00, 0x98, 0x96, 0x80, 0x00, 0x3D, 0x09, 0x00}));
    }
}

TEST(ExtractDeepPng, DepthSixteenKeepsTenBitsOfAnSdrMovieAndSaysNothingOfHdr) {
    const fs::path work = clitest::freshFolder("deep-sdr");
    if (!writeTenBitMovie(work / "sdr.mkv", "-color_primaries bt709 -color_trc bt709", ""))
        GTEST_SKIP() << "no ffmpeg command line with libx265";
    ASSERT_EQ(
        runExtract({"--depth", "16", "--frames", "1", "--format", "png", "sdr.mkv"}, work).exitCode,
        0);
    const DeepPng png = readDeepPng(work / "sdr_00001.png");
    expectSamplesOf(png, 1);
    EXPECT_TRUE(png.chunks.empty());
    // Nothing to keep: --hdr keep writes an SDR movie as usual.
    ASSERT_EQ(
        runExtract({"--hdr", "keep", "--frames", "0", "--format", "png", "sdr.mkv"}, work).exitCode,
        0);
    EXPECT_EQ(readDeepPng(work / "sdr_00000.png").bitDepth, 8);
    // Nor has an 8-bit movie more to give than 8 bits.
    const fs::path eightBits = testmedia::sharedMovie({});
    ASSERT_EQ(runExtract({"--depth", "16", "--frames", "0", "--format", "png", "--out", "eight",
                          eightBits.string()},
                         work)
                  .exitCode,
              0);
    EXPECT_EQ(readDeepPng(work / "eight" / (eightBits.stem().string() + "_00000.png")).bitDepth, 8);
}

TEST(ExtractDeepPng, SixteenBitsAreRefusedWhereTheyCannotBeWritten) {
    const fs::path work = clitest::freshFolder("deep-refused");
    if (!writeTenBitMovie(work / "pq.mkv", pq, ""))
        GTEST_SKIP() << "no ffmpeg command line with libx265";
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"--depth", "16", "--format", "jpg"}, "'--depth 16' writes PNG files"},
        {{"--hdr", "keep"}, "'--hdr keep' writes PNG files"},
        {{"--depth", "12", "--format", "png"}, "takes 8 or 16"},
        {{"--hdr", "keep", "--format", "png", "--size", "32x"}, "writes them at their stored"},
        {{"--depth", "16", "--format", "png"}, "'--hdr keep' writes them at 16 bits"},
    };
    for (auto [args, words] : refused) {
        args.push_back("pq.mkv");
        const clitest::RunResult run = runExtract(args, work);
        EXPECT_EQ(run.exitCode, 2) << args[0] << " " << args[1];
        EXPECT_NE(run.err.find(words), std::string::npos) << run.err;
    }
    EXPECT_EQ(clitest::fileNames(work).size(), 2u); // the movie and its samples only
}

} // namespace
