#include "ExtractRun.h"
#include "support/testmedia/TestMedia.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using clitest::freshFolder;
using clitest::readBytes;
using clitest::runExtract;

testmedia::MovieRecipe streamedMovie() {
    testmedia::MovieRecipe recipe;
    recipe.codec = testmedia::Codec::Mpeg4BFrames;
    recipe.frames = 40;
    return recipe;
}

std::uint32_t read32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           std::uint32_t{bytes[at + 3]} << 24;
}

// Four jobs decode stretches side by side; standard output still gets every frame once, in
// order, each a whole bitmap file as the image2pipe readers take them.
TEST(ExtractToStandardOutput, SendsWholeBitmapsInFrameOrder) {
    const fs::path movie = testmedia::sharedMovie(streamedMovie());
    const fs::path root = freshFolder("stream-bmp");

    const clitest::RunResult run =
        runExtract({"--jobs", "4", "--out", "-", movie.string()}, root, root / "stream");

    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::uint8_t> stream = readBytes(root / "stream");
    std::size_t at = 0;
    int frame = 0;
    for (; at + 6 <= stream.size(); ++frame) {
        ASSERT_EQ(stream[at], 'B') << "at byte " << at;
        const std::size_t size = read32(stream, at + 2);
        ASSERT_LE(at + size, stream.size());
        const fs::path file = root / "one.bmp";
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(stream.data() + at),
                   static_cast<std::streamsize>(size));
        EXPECT_EQ(clitest::readBmp(file).frameNumber(), frame);
        at += size;
    }
    EXPECT_EQ(frame, 40);
    EXPECT_EQ(at, stream.size());
    EXPECT_EQ(clitest::fileNames(root), (std::vector<std::string>{"one.bmp", "stream"}));
}

// Raw frames are the bitmaps' pixels as red, green, blue, rows top first, nothing between.
TEST(ExtractToStandardOutput, RawFramesAreBareTopFirstRgb) {
    const fs::path movie = testmedia::sharedMovie(streamedMovie());
    const fs::path root = freshFolder("stream-raw");
    ASSERT_EQ(
        runExtract({"--out", "-", "--format", "raw", movie.string()}, root, root / "raw").exitCode,
        0);
    ASSERT_EQ(runExtract({"--frames", "7", "--out", "bmp", movie.string()}, root).exitCode, 0);

    const std::vector<std::uint8_t> raw = readBytes(root / "raw");
    const std::size_t frameBytes = 128 * 96 * 3;
    ASSERT_EQ(raw.size(), 40 * frameBytes);
    const clitest::BmpPicture bmp =
        clitest::readBmp(root / "bmp" / (movie.stem().string() + "_00007.bmp"));
    ASSERT_EQ(bmp.width, 128);
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 128; ++x)
            for (int channel = 0; channel < 3; ++channel)
                ASSERT_EQ(raw[7 * frameBytes + (static_cast<std::size_t>(y) * 128 + x) * 3 +
                              static_cast<std::size_t>(channel)],
                          bmp.bytes[static_cast<std::size_t>(y * bmp.stride + x * 3 + 2 - channel)])
                    << x << "," << y;
}

// A reader that stops early (`| head`) ends the run with status 0 and no complaint.
TEST(ExtractToStandardOutput, AClosedPipeEndsTheRunQuietly) {
    const fs::path movie = testmedia::sharedMovie(streamedMovie());
    const fs::path root = freshFolder("stream-head");
    const std::string command = "set -o pipefail; '" + std::string(KIRIMO_EXTRACT_PATH) +
                                "' --jobs 2 --out - '" + movie.string() + "' 2>'" +
                                (root / "err").string() + "' | head -c 100 >/dev/null";

    const int status = std::system(("bash -c \"" + command + "\"").c_str());

    EXPECT_EQ(status, 0);
    EXPECT_TRUE(readBytes(root / "err").empty());
}

} // namespace
