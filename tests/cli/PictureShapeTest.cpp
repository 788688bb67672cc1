#include "ExtractRun.h"
#include "support/testmedia/ContainerMedia.h"
#include "support/testmedia/TestMedia.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using clitest::freshFolder;
using clitest::readBytes;
using clitest::runExtract;

// 128 x 96 pictures, shown as the ffmpeg command line shows them: turned 90 degrees clockwise,
// then mirrored left to right.
fs::path turnedMovie() {
    testmedia::ContainerRecipe recipe;
    recipe.frames = 4;
    recipe.gop = 4;
    recipe.display = testmedia::DisplayMatrix{90, true, false};
    return testmedia::sharedContainerMovie(recipe);
}

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bytes; // top row first, 3 bytes a pixel, no padding

    const std::uint8_t* at(int x, int y) const {
        return bytes.data() + (static_cast<std::size_t>(y) * width + x) * 3;
    }
};

Picture readBmp(const fs::path& file) {
    const std::vector<std::uint8_t> bytes = readBytes(file);
    const auto read32 = [&](std::size_t at) {
        return static_cast<std::int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                         bytes[at + 3] << 24);
    };
    Picture picture{read32(18), read32(22), {}};
    const int stride = (picture.width * 3 + 3) & ~3;
    const auto pixels = static_cast<std::ptrdiff_t>(read32(10));
    for (int y = picture.height - 1; y >= 0; --y) {
        const auto row = bytes.begin() + pixels + static_cast<std::ptrdiff_t>(y) * stride;
        picture.bytes.insert(picture.bytes.end(), row, row + picture.width * 3);
    }
    return picture;
}

// Undoes "turned clockwise, then mirrored": the mirror, then a quarter turn back.
Picture unturned(const Picture& shown) {
    Picture stored{shown.height, shown.width, {}};
    for (int y = 0; y < stored.height; ++y)
        for (int x = 0; x < stored.width; ++x) {
            const std::uint8_t* pixel = shown.at(y, x);
            stored.bytes.insert(stored.bytes.end(), pixel, pixel + 3);
        }
    return stored;
}

int frameNumberOf(const Picture& picture) {
    return testmedia::readFrameNumber(
        {picture.bytes.data(), picture.width, picture.height, picture.width * 3});
}

TEST(ExtractInfoShape, SizeIsThatOfThePicturesWrittenWithTheTurnNamed) {
    const fs::path work = freshFolder("info-turned");
    const std::string movie = turnedMovie().string();

    const clitest::RunResult upright = runExtract({"--info", movie}, work);
    const clitest::RunResult stored = runExtract({"--info", "--no-autorotate", movie}, work);
    const clitest::RunResult json = runExtract({"--info", "--json", movie}, work);

    EXPECT_NE(upright.out.find("\nwidth=96\nheight=128\nrotation=90\nmirrored=yes\n"),
              std::string::npos)
        << upright.out;
    EXPECT_NE(stored.out.find("\nwidth=128\nheight=96\nrotation=90\nmirrored=yes\n"),
              std::string::npos)
        << stored.out;
    EXPECT_NE(json.out.find(R"("width":96,"height":128,"rotation":90,"mirrored":true,)"),
              std::string::npos)
        << json.out;
}

TEST(ExtractUpright, FilesShowThePictureAsPlayersDoUnlessAskedOtherwise) {
    const fs::path out = freshFolder("upright");
    const std::string movie = turnedMovie().string();

    const clitest::RunResult upright =
        runExtract({"--frames", "2", "--out", (out / "upright").string(), movie}, out);
    const clitest::RunResult stored = runExtract(
        {"--frames", "2", "--no-autorotate", "--out", (out / "stored").string(), movie}, out);

    ASSERT_EQ(upright.exitCode, 0) << upright.err;
    ASSERT_EQ(stored.exitCode, 0) << stored.err;
    const std::string name = turnedMovie().stem().string() + "_00002.bmp";
    const Picture shown = readBmp(out / "upright" / name);
    EXPECT_EQ(shown.width, 96);
    EXPECT_EQ(shown.height, 128);
    EXPECT_EQ(frameNumberOf(unturned(shown)), 2);
    const Picture asStored = readBmp(out / "stored" / name);
    EXPECT_EQ(asStored.width, 128);
    EXPECT_EQ(frameNumberOf(asStored), 2);
}

} // namespace
