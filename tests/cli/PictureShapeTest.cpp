#include "ExtractRun.h"
#include "support/testmedia/ContainerMedia.h"
#include "support/testmedia/TestMedia.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <png.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using clitest::freshFolder;
using clitest::readBytes;
using clitest::runExtract;

// 128 x 96 pictures, shown as the ffmpeg command line shows them: turned 90 degrees clockwise,
// then mirrored left to right; pixels 32:27 wide as stored, so 27:32 upright. With square pixels
// 96 x 152 (128 * 32 / 27 = 151.7) upright, 152 x 96 as stored.
fs::path turnedMovie() {
    testmedia::ContainerRecipe recipe;
    recipe.frames = 4;
    recipe.gop = 4;
    recipe.display = testmedia::DisplayMatrix{90, true, false};
    recipe.aspectNum = 32;
    recipe.aspectDen = 27;
    return testmedia::sharedContainerMovie(recipe);
}

std::string frameFile(int frame, const char* extension) {
    char number[16];
    std::snprintf(number, sizeof number, "_%05d.", frame);
    return turnedMovie().stem().string() + number + extension;
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

struct PixelShape {
    bool found = false;
    png_uint_32 across = 0; // pixels per unit
    png_uint_32 down = 0;
    int unit = -1;
};

PixelShape pixelShapeInPng(const fs::path& file) {
    PixelShape shape;
    std::FILE* in = std::fopen(file.c_str(), "rb");
    if (in == nullptr)
        return shape;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, in);
        png_read_info(png, info);
        shape.found = png_get_pHYs(png, info, &shape.across, &shape.down, &shape.unit) != 0;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(in);
    return shape;
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

    EXPECT_NE(upright.out.find("\nwidth=96\nheight=128\nrotation=90\nmirrored=yes\nsar=27:32\n"
                               "display_width=96\ndisplay_height=152\n"),
              std::string::npos)
        << upright.out;
    EXPECT_NE(stored.out.find("\nwidth=128\nheight=96\nrotation=90\nmirrored=yes\nsar=32:27\n"
                              "display_width=152\ndisplay_height=96\n"),
              std::string::npos)
        << stored.out;
    EXPECT_NE(json.out.find(R"("width":96,"height":128,"rotation":90,"mirrored":true,)"
                            R"("sar":"27:32","display_width":96,"display_height":152,)"),
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
    const std::string name = frameFile(2, "bmp");
    const Picture shown = readBmp(out / "upright" / name);
    EXPECT_EQ(shown.width, 96);
    EXPECT_EQ(shown.height, 128);
    EXPECT_EQ(frameNumberOf(unturned(shown)), 2);
    const Picture asStored = readBmp(out / "stored" / name);
    EXPECT_EQ(asStored.width, 128);
    EXPECT_EQ(frameNumberOf(asStored), 2);
}

// The pHYs chunk gives pixels per unit across and down: tall pixels fit more across.
TEST(ExtractPng, SaysTheShapeOfItsPixels) {
    const fs::path out = freshFolder("png-aspect");
    const std::string movie = turnedMovie().string();

    for (const char* kind : {"upright", "stored", "square"}) {
        std::vector<std::string> args{"--frames", "1",     "--format",
                                      "png",      "--out", (out / kind).string()};
        if (kind == std::string("stored"))
            args.push_back("--no-autorotate");
        if (kind == std::string("square"))
            args.push_back("--square-pixels");
        args.push_back(movie);
        const clitest::RunResult run = runExtract(args, out);
        ASSERT_EQ(run.exitCode, 0) << run.err;
    }

    const PixelShape upright = pixelShapeInPng(out / "upright" / frameFile(1, "png"));
    ASSERT_TRUE(upright.found);
    EXPECT_EQ(upright.across, 32u);
    EXPECT_EQ(upright.down, 27u);
    EXPECT_EQ(upright.unit, PNG_RESOLUTION_UNKNOWN);
    const PixelShape stored = pixelShapeInPng(out / "stored" / frameFile(1, "png"));
    EXPECT_EQ(stored.across, 27u);
    EXPECT_EQ(stored.down, 32u);
    const PixelShape square = pixelShapeInPng(out / "square" / frameFile(1, "png"));
    EXPECT_EQ(square.across, square.down);
}

// Square pixels: stretched after the turn, so the stretch runs down the upright picture.
TEST(ExtractSquarePixels, WritesTheSizeThePictureIsShownAt) {
    const fs::path out = freshFolder("square-pixels");
    const std::string movie = turnedMovie().string();

    const clitest::RunResult upright = runExtract(
        {"--frames", "3", "--square-pixels", "--out", (out / "upright").string(), movie}, out);
    const clitest::RunResult stored =
        runExtract({"--frames", "3", "--square-pixels", "--no-autorotate", "--out",
                    (out / "stored").string(), movie},
                   out);
    const clitest::RunResult info = runExtract({"--info", "--square-pixels", movie}, out);

    ASSERT_EQ(upright.exitCode, 0) << upright.err;
    ASSERT_EQ(stored.exitCode, 0) << stored.err;
    const Picture tall = readBmp(out / "upright" / frameFile(3, "bmp"));
    EXPECT_EQ(tall.width, 96);
    EXPECT_EQ(tall.height, 152);
    const Picture wide = readBmp(out / "stored" / frameFile(3, "bmp"));
    EXPECT_EQ(wide.width, 152);
    EXPECT_EQ(wide.height, 96);
    EXPECT_NE(info.out.find("\nwidth=96\nheight=152\n"), std::string::npos) << info.out;
}

// --size works on the picture as shown: 96 x 151.7 upright (pixels 27:32). A size taken before
// the turn gives 48 x 30, one that ignores the pixels' shape 48 x 64.
TEST(ExtractSize, KeepsTheShapeShownAfterTheTurn) {
    const fs::path out = freshFolder("size-turned");
    const std::string movie = turnedMovie().string();
    struct Case {
        const char* size;
        const char* format;
        int width;
        int height;
    };
    const Case cases[] = {{"48x", "png", 48, 76},   {"x76", "bmp", 48, 76},
                          {"50%", "jpg", 48, 76},   {"1x1", "png", 1, 1},
                          {"3x2", "jpg", 3, 2},     {"427x241", "bmp", 427, 241},
                          {"7x300", "png", 7, 300}, {"96x76", "png", 96, 76}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const fs::path folder = out / (std::string(c.format) + "-" + c.size);
        const clitest::RunResult run = runExtract({"--frames", "1", "--size", c.size, "--format",
                                                   c.format, "--out", folder.string(), movie},
                                                  out);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const fs::path file = folder / frameFile(1, c.format);
        int width = 0;
        int height = 0;
        if (c.format == std::string("bmp")) {
            const Picture picture = readBmp(file);
            width = picture.width;
            height = picture.height;
        } else if (c.format == std::string("jpg")) {
            const std::vector<std::uint8_t> bytes = readBytes(file);
            for (std::size_t i = 2; i + 8 < bytes.size(); ++i)
                if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) { // the baseline frame header
                    height = bytes[i + 5] << 8 | bytes[i + 6];
                    width = bytes[i + 7] << 8 | bytes[i + 8];
                    break;
                }
        } else {
            png_image image{};
            image.version = PNG_IMAGE_VERSION;
            ASSERT_NE(png_image_begin_read_from_file(&image, file.c_str()), 0);
            width = static_cast<int>(image.width);
            height = static_cast<int>(image.height);
            png_image_free(&image);
        }
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
        if (c.format != std::string("png"))
            continue;
        // Square pixels, except where both sides squeeze the picture: 96 x 76 shows as 48 x 76.
        const PixelShape shape = pixelShapeInPng(file);
        ASSERT_TRUE(shape.found);
        if (c.size == std::string("96x76"))
            EXPECT_NEAR(96.0 * shape.down / shape.across, 48.0, 0.5);
        else
            EXPECT_EQ(shape.across, shape.down);
    }
    // 11000 wide is 17417 high as shown: a usage error, though the stored picture is wide.
    const clitest::RunResult tooTall =
        runExtract({"--size", "11000x", "--out", (out / "tall").string(), movie}, out);
    EXPECT_EQ(tooTall.exitCode, 2) << tooTall.err;
    EXPECT_FALSE(fs::exists(out / "tall"));
}

} // namespace
