#include "ExtractRun.h"
#include "support/testmedia/ContainerMedia.h"
#include "support/testmedia/TestMedia.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using clitest::fileNames;
using clitest::freshFolder;
using clitest::readBytes;
using clitest::runExtract;

// What a JPEG file's headers say, read marker by marker up to the scan.
struct JpegHeaders {
    bool jfif = false;
    int densityUnits = -1;
    int xDensity = 0;
    int yDensity = 0;
    int frameMarker = 0;    // 0xC0 baseline, 0xC2 progressive, ...
    int lumaSampling = 0;   // 0x22: chroma halved both ways; 0x11: whole
    int chromaSampling = 0; // of the second component
};

JpegHeaders readHeaders(const std::vector<std::uint8_t>& bytes) {
    JpegHeaders headers;
    std::size_t at = 2;
    while (at + 4 <= bytes.size() && bytes[at] == 0xFF) {
        const int marker = bytes[at + 1];
        const std::size_t length = static_cast<std::size_t>(bytes[at + 2] << 8 | bytes[at + 3]);
        const std::uint8_t* data = &bytes[at + 4];
        if (marker == 0xE0 && length >= 16 &&
            std::string(data, data + 5) == std::string("JFIF", 5)) {
            headers.jfif = true;
            headers.densityUnits = data[7];
            headers.xDensity = data[8] << 8 | data[9];
            headers.yDensity = data[10] << 8 | data[11];
        } else if (marker >= 0xC0 && marker <= 0xC3 && length >= 14) {
            headers.frameMarker = marker;
            headers.lumaSampling = data[7];
            headers.chromaSampling = data[10];
        } else if (marker == 0xDA) {
            break;
        }
        at += 2 + length;
    }
    return headers;
}

// Decoded by the ffmpeg command line's own JPEG decoder; width 0 when it did not decode.
clitest::BmpPicture decodeElsewhere(const fs::path& jpeg) {
    const fs::path bmp = jpeg.parent_path() / (jpeg.stem().string() + "-decoded.bmp");
    const std::string command = "ffmpeg -nostdin -v error -y -i '" + jpeg.string() +
                                "' -pix_fmt bgr24 '" + bmp.string() + "'";
    if (std::system(command.c_str()) != 0)
        return {};
    clitest::BmpPicture picture = clitest::readBmp(bmp);
    fs::remove(bmp);
    return picture;
}

const fs::path& squareMovie() {
    static const fs::path movie = testmedia::sharedContainerMovie({});
    return movie;
}

// The same movie, its pixels declared twice as wide as high (in the H.264 headers only).
const fs::path& widePixelMovie() {
    static const fs::path movie = [] {
        const fs::path file = freshFolder("jpeg-wide") / "wide.mp4";
        const std::string command = "ffmpeg -nostdin -v error -y -i '" + squareMovie().string() +
                                    "' -c copy -bsf:v h264_metadata=sample_aspect_ratio=2/1 '" +
                                    file.string() + "'";
        if (std::system(command.c_str()) != 0)
            ADD_FAILURE() << command;
        return file;
    }();
    return movie;
}

struct JpegCase {
    const char* name;
    bool widePixels;
    std::vector<std::string> options;
    int sampling; // of the luma component
    int xDensity; // with no unit: the pixels' shape
    int yDensity;
};

class ExtractJpeg : public testing::TestWithParam<JpegCase> {};

TEST_P(ExtractJpeg, WritesBaselineJfifFilesAnotherDecoderReads) {
    const JpegCase& c = GetParam();
    const fs::path& movie = c.widePixels ? widePixelMovie() : squareMovie();
    const fs::path out = freshFolder(std::string("jpeg-") + c.name);
    std::vector<std::string> args = c.options;
    args.insert(args.end(),
                {"--format", "jpg", "--frames", "5,12", "--out", out.string(), movie.string()});

    const clitest::RunResult run = runExtract(args, out);

    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string base = movie.stem().string();
    ASSERT_EQ(fileNames(out), (std::vector<std::string>{base + "_00005.jpg", base + "_00012.jpg"}));
    for (const int frame : {5, 12}) {
        const fs::path file = out / (base + (frame == 5 ? "_00005.jpg" : "_00012.jpg"));
        const JpegHeaders headers = readHeaders(readBytes(file));
        EXPECT_TRUE(headers.jfif);
        EXPECT_EQ(headers.frameMarker, 0xC0) << "not baseline";
        EXPECT_EQ(headers.lumaSampling, c.sampling);
        EXPECT_EQ(headers.chromaSampling, 0x11);
        EXPECT_EQ(headers.densityUnits, 0);
        EXPECT_EQ(headers.xDensity, c.xDensity);
        EXPECT_EQ(headers.yDensity, c.yDensity);
        const clitest::BmpPicture picture = decodeElsewhere(file);
        EXPECT_EQ(picture.width, 128);
        EXPECT_EQ(picture.height, 96);
        EXPECT_EQ(picture.frameNumber(), frame);
    }
}

// Densities count pixels a unit: pixels twice as wide as high are half as dense across.
INSTANTIATE_TEST_SUITE_P(
    Cases, ExtractJpeg,
    testing::Values(JpegCase{"default_quality_halves_chroma", false, {}, 0x22, 1, 1},
                    JpegCase{"quality_100_keeps_chroma", false, {"--quality", "100"}, 0x11, 1, 1},
                    JpegCase{"wide_pixels", true, {"--quality", "60"}, 0x22, 1, 2}),
    [](const testing::TestParamInfo<JpegCase>& info) { return std::string(info.param.name); });

// Colour patches through H.264 and JPEG: a swapped channel pair moves a patch far beyond the
// tolerance of the two lossy codings.
TEST(ExtractJpeg, KeepsTheColoursOfThePicture) {
    const testmedia::ContainerRecipe recipe{.frames = 12, .gop = 6, .patches = true};
    const fs::path movie = testmedia::sharedContainerMovie(recipe);
    const fs::path out = freshFolder("jpeg-colours");

    const clitest::RunResult run = runExtract({"--format", "jpg", "--frames", "7", "--name",
                                               "{frame}", "--out", out.string(), movie.string()},
                                              out);

    ASSERT_EQ(run.exitCode, 0) << run.err;
    const clitest::BmpPicture picture = decodeElsewhere(out / "00007.jpg");
    ASSERT_EQ(picture.width, 128);
    const int margin = 8;
    for (const testmedia::ColourPatch& patch : testmedia::colourPatches(128, 96)) {
        const int expected[3] = {patch.b, patch.g, patch.r};
        for (int channel = 0; channel < 3; ++channel) {
            int sum = 0;
            int count = 0;
            for (int y = patch.y + margin; y < patch.y + patch.height - margin; ++y)
                for (int x = patch.x + margin; x < patch.x + patch.width - margin; ++x, ++count)
                    sum +=
                        picture
                            .bytes[static_cast<std::size_t>(y * picture.stride + x * 3 + channel)];
            EXPECT_NEAR(sum / count, expected[channel], 8)
                << "patch at " << patch.x << "," << patch.y << ", channel "
                << "bgr"[channel];
        }
    }
}

} // namespace
