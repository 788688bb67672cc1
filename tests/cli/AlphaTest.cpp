#include "ExtractRun.h"
#include "support/testmedia/ColourChart.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <png.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct AlphaCase {
    const char* name;
    const char* encoding; // the ffmpeg command line's output options
    int tolerance;
};

class ExtractAlpha : public testing::TestWithParam<AlphaCase> {};

// Red X*4, green Y*5, blue 128, alpha X*4, encoded by the ffmpeg command line: the PNG file is
// RGBA with that alpha, the BMP file 24-bit with the colours as stored, not blended.
TEST_P(ExtractAlpha, PngKeepsTheAlphaChannelBmpTheColours) {
    const AlphaCase c = GetParam();
    if (!testmedia::canEncodeCharts())
        GTEST_SKIP() << "no ffmpeg command line";
    const fs::path work = clitest::freshFolder(std::string("alpha-") + c.name);
    const std::string command =
        "ffmpeg -nostdin -v error -y -f lavfi -i color=black:s=64x48:r=25 -frames:v 1 -vf "
        "\"format=rgba,geq=r='X*4':g='Y*5':b=128:a='X*4'\" " +
        std::string(c.encoding) + " '" + (work / "clip.mov").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    for (const char* format : {"png", "bmp"})
        ASSERT_EQ(clitest::runExtract({"--format", format, "clip.mov"}, work).exitCode, 0);

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    const fs::path png = work / "clip_00000.png";
    ASSERT_NE(png_image_begin_read_from_file(&image, png.c_str()), 0);
    EXPECT_EQ(image.format, static_cast<png_uint_32>(PNG_FORMAT_RGBA));
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    ASSERT_NE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr), 0);
    const std::vector<std::uint8_t> bmp = clitest::readBytes(work / "clip_00000.bmp");
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(bmp[28], 24); // bits a pixel
    int wrong = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const int expected[4] = {std::min(255, x * 4), std::min(255, y * 5), 128,
                                     std::min(255, x * 4)};
            const std::uint8_t* rgba = pixels.data() + (y * 64 + x) * 4;
            const std::uint8_t* bgr = bmp.data() + 54 + (47 - y) * 64 * 3 + x * 3;
            for (int k = 0; k < 4; ++k)
                wrong += std::abs(rgba[k] - expected[k]) > c.tolerance;
            for (int k = 0; k < 3; ++k)
                wrong += std::abs(bgr[2 - k] - expected[k]) > c.tolerance;
        }
    EXPECT_EQ(wrong, 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, ExtractAlpha, testing::Values(
    AlphaCase{"qtrle", "-c:v qtrle -pix_fmt argb", 0},
    AlphaCase{"png_in_mov", "-c:v png -pix_fmt rgba", 0},
    AlphaCase{"prores4444", "-c:v prores_ks -profile:v 4 -pix_fmt yuva444p10le", 3}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
