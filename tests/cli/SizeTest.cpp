#include "ExtractRun.h"
#include "support/testmedia/ColourChart.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <png.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

double lightOf(int code) {
    const double v = code / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

int codeOf(double light) {
    const double v = light <= 0.0031308 ? light * 12.92 : 1.055 * std::pow(light, 1 / 2.4) - 0.055;
    return static_cast<int>(std::lround(v * 255.0));
}

// A 4 x 4 RGBA picture: every pixel of its own colour, some half or wholly clear, the lower right
// 2 x 2 block wholly clear.
std::vector<std::uint8_t> checkerPixels() {
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool clearBlock = x >= 2 && y >= 2;
            const int alpha = clearBlock ? 0 : (x == 0 && y == 0) ? 0 : (x + y) % 2 ? 255 : 96;
            rgba.insert(rgba.end(), {static_cast<std::uint8_t>((x * 67 + y * 23 + 10) % 256),
                                     static_cast<std::uint8_t>((x * 31 + y * 89 + 200) % 256),
                                     static_cast<std::uint8_t>((x * 113 + y * 7 + 50) % 256),
                                     static_cast<std::uint8_t>(alpha)});
        }
    return rgba;
}

// The mean light of pixels x0..x1 x y0..y1, weighted by alpha (a plain mean where all are
// clear), and their mean alpha, as RGBA codes.
std::vector<int> areaMean(const std::vector<std::uint8_t>& rgba, int x0, int x1, int y0, int y1) {
    double weighted[3] = {};
    double plain[3] = {};
    double alpha = 0;
    int count = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x, ++count) {
            const std::uint8_t* p = rgba.data() + (y * 4 + x) * 4;
            for (int c = 0; c < 3; ++c) {
                weighted[c] += lightOf(p[c]) * p[3] / 255.0;
                plain[c] += lightOf(p[c]);
            }
            alpha += p[3] / 255.0;
        }
    std::vector<int> mean;
    for (int c = 0; c < 3; ++c)
        mean.push_back(codeOf(alpha > 0 ? weighted[c] / alpha : plain[c] / count));
    mean.push_back(static_cast<int>(std::lround(alpha / count * 255.0)));
    return mean;
}

std::vector<std::uint8_t> readRgba(const fs::path& file, int width, int height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, file.c_str()) == 0 ||
        static_cast<int>(image.width) != width || static_cast<int>(image.height) != height)
        return {};
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0)
        return {};
    return pixels;
}

// Shrinking averages light, not code values, and weighs colours by their alpha: code values
// averaged, or a clear pixel's colour let in, miss by far more than the rounding allowed here.
TEST(ExtractSizeShrink, GivesEachAreasMeanLightWeightedByAlpha) {
    if (!testmedia::canEncodeCharts())
        GTEST_SKIP() << "no ffmpeg command line";
    const fs::path work = clitest::freshFolder("size-shrink");
    const std::vector<std::uint8_t> rgba = checkerPixels();
    {
        std::ofstream raw(work / "checker.rgba", std::ios::binary);
        raw.write(reinterpret_cast<const char*>(rgba.data()),
                  static_cast<std::streamsize>(rgba.size()));
    }
    const std::string command =
        "ffmpeg -nostdin -v error -y -f rawvideo -pix_fmt rgba -s 4x4 -i '" +
        (work / "checker.rgba").string() + "' -c:v png -pix_fmt rgba '" +
        (work / "clip.mov").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    for (const char* size : {"50%", "1x1"}) {
        SCOPED_TRACE(size);
        const fs::path out = work / (size[0] == '1' ? "one" : "half");
        const clitest::RunResult run = clitest::runExtract(
            {"--size", size, "--format", "png", "--out", out.string(), "clip.mov"}, work);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const int side = size[0] == '1' ? 1 : 2;
        const std::vector<std::uint8_t> written = readRgba(out / "clip_00000.png", side, side);
        ASSERT_EQ(written.size(), static_cast<std::size_t>(side * side * 4));
        const int cell = 4 / side;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const std::vector<int> expected =
                    areaMean(rgba, x * cell, x * cell + cell - 1, y * cell, y * cell + cell - 1);
                for (int c = 0; c < 4; ++c)
                    EXPECT_NEAR(written[(y * side + x) * 4 + c], expected[c], 1)
                        << "pixel " << x << "," << y << " channel " << c;
            }
    }
}

} // namespace
