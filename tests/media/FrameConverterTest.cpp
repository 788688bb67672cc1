#include "picture/FrameConverter.h"

#include "MediaTestSupport.h"
#include "core/BgrImage.h"
#include "media/Movie.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
}

namespace {

struct Size {
    int width;
    int height;
};

// Every narrow width, the common sizes whose width is no multiple of 8 or 16, pictures tall
// enough to be converted in several bands, and rows a multiple of 16 wide, which the scaler
// writes straight into the picture (and of 8 only, which it must not).
std::vector<Size> sweepSizes() {
    std::vector<Size> sizes;
    for (int width = 1; width <= 80; ++width)
        for (const int height : {2, 3})
            sizes.push_back({width, height});
    for (const int width : {306, 310, 314, 318, 322, 330, 426, 854, 1366, 1918})
        sizes.push_back({width, 5});
    sizes.push_back({318, 242});
    sizes.push_back({426, 240});
    sizes.push_back({1918, 37});
    sizes.push_back({640, 48});
    // Tall enough for the straight path, 8 but not 16 a multiple: it must not take them.
    sizes.push_back({856, 48});
    sizes.push_back({200, 48});
    return sizes;
}

// The grey level of each pixel, different in neighbouring columns, so a column left unwritten or
// written with its neighbour's value stands out.
int greyAt(int x, int y) {
    return (x * 29 + y * 7 + 11) % 256;
}

// Luma of that grey in limited range, 8 bits; the expected picture goes back by the definition
// of the range, not by any converter.
int limitedLuma(int grey) {
    return 16 + (grey * 219 + 127) / 255;
}
int expectedGrey(int luma) {
    return std::clamp(((luma - 16) * 255 + 109) / 219, 0, 255);
}

using FramePtr = std::unique_ptr<AVFrame, decltype([](AVFrame* f) { av_frame_free(&f); })>;

// A picture of `format` whose grey levels follow greyAt (through the palette for PAL8), chroma
// neutral.
FramePtr greyFrame(AVPixelFormat format, Size size) {
    FramePtr frame(av_frame_alloc());
    frame->format = format;
    frame->width = size.width;
    frame->height = size.height;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        return nullptr;
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
    const bool deep = desc->comp[0].depth > 8;
    const int chromaWidth = -((-size.width) >> desc->log2_chroma_w);
    const int chromaHeight = -((-size.height) >> desc->log2_chroma_h);
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x) {
            const int grey = greyAt(x, y);
            if (format == AV_PIX_FMT_PAL8)
                frame->data[0][y * frame->linesize[0] + x] = static_cast<std::uint8_t>(grey);
            else if (deep)
                reinterpret_cast<std::uint16_t*>(frame->data[0] + y * frame->linesize[0])[x] =
                    static_cast<std::uint16_t>(limitedLuma(grey) * 4);
            else
                frame->data[0][y * frame->linesize[0] + x] =
                    static_cast<std::uint8_t>(limitedLuma(grey));
        }
    if (format == AV_PIX_FMT_PAL8) {
        auto* palette = reinterpret_cast<std::uint32_t*>(frame->data[1]);
        for (std::uint32_t i = 0; i < 256; ++i)
            palette[i] = 0xFF000000u | i << 16 | i << 8 | i;
        return frame;
    }
    for (int plane = 1; plane <= 2; ++plane)
        for (int y = 0; y < chromaHeight; ++y)
            for (int x = 0; x < chromaWidth; ++x) {
                if (deep)
                    reinterpret_cast<std::uint16_t*>(frame->data[plane] +
                                                     y * frame->linesize[plane])[x] = 512;
                else
                    frame->data[plane][y * frame->linesize[plane] + x] = 128;
            }
    return frame;
}

class ConverterSweep : public testing::TestWithParam<AVPixelFormat> {};

// swscale's fast paths write blocks of 8 or 16 pixels: into tight rows they either run past the
// picture (heap corruption, caught by the sanitizer build) or leave the last columns black.
// Pictures bound for bitmap files hold their rows bottom first.
TEST_P(ConverterSweep, EveryColumnOfEverySizeIsWritten) {
    picture::FrameConverter converter;
    for (const bool bottomFirst : {false, true}) {
        SCOPED_TRACE(bottomFirst ? "rows bottom first" : "rows top first");
        core::BgrImage image;
        image.bottomFirst = bottomFirst;
        for (const Size size : sweepSizes()) {
            const FramePtr frame = greyFrame(GetParam(), size);
            ASSERT_TRUE(frame);
            converter.convert(*frame, size.width, size.height, 256, image);
            ASSERT_EQ(image.width, size.width);
            ASSERT_EQ(image.height, size.height);
            const bool exact = GetParam() == AV_PIX_FMT_PAL8;
            int wrong = 0;
            for (int y = 0; y < size.height; ++y)
                for (int x = 0; x < size.width; ++x) {
                    const int grey = greyAt(x, y);
                    const int expected = exact ? grey : expectedGrey(limitedLuma(grey));
                    for (int c = 0; c < 3; ++c)
                        if (std::abs(image.row(y)[x * 3 + c] - expected) > (exact ? 0 : 2) &&
                            ++wrong <= 3)
                            ADD_FAILURE() << size.width << "x" << size.height << ": pixel " << x
                                          << "," << y << " channel " << c << " is "
                                          << int{image.row(y)[x * 3 + c]} << ", not " << expected;
                }
            for (int y = 0; y < size.height; ++y)
                for (int i = size.width * 3; i < image.stride(); ++i)
                    ASSERT_EQ(image.row(y)[i], 0) << size.width << "x" << size.height << " padding";
            ASSERT_EQ(wrong, 0) << size.width << "x" << size.height;
        }
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Media, ConverterSweep, testing::Values(
    AV_PIX_FMT_YUV420P, AV_PIX_FMT_YUV422P, AV_PIX_FMT_YUV411P, AV_PIX_FMT_YUV444P,
    AV_PIX_FMT_YUV420P10LE, AV_PIX_FMT_PAL8),
    [](const auto& info) { return std::string(av_get_pix_fmt_name(info.param)); });
// clang-format on

struct MovieSize {
    testmedia::Codec codec;
    int width;
    int height;
};

class OddWidthMovie : public testing::TestWithParam<MovieSize> {};

// The same through the decoders, whose pictures come in their own buffers: the right-most
// columns match the source picture (within the codec's loss).
TEST_P(OddWidthMovie, RightMostColumnsShowThePicture) {
    const MovieSize c = GetParam();
    const auto codecs = testmedia::availableCodecs();
    if (std::find(codecs.begin(), codecs.end(), c.codec) == codecs.end())
        GTEST_SKIP() << "no encoder";
    testmedia::MovieRecipe recipe = mediatest::recipeOf(c.codec, 2);
    recipe.width = c.width;
    recipe.height = c.height;
    media::Movie movie(mediatest::movieFor(recipe));
    const core::BgrImage image = movie.frame(1);
    ASSERT_EQ(image.width, c.width);
    const std::vector<std::uint8_t> expected = testmedia::expectedPicture(recipe, 1);
    for (int x = c.width - 8; x < c.width; ++x) {
        int difference = 0;
        for (int y = 0; y < c.height; ++y)
            for (int k = 0; k < 3; ++k)
                difference +=
                    std::abs(image.row(y)[x * 3 + k] -
                             expected[static_cast<std::size_t>((y * c.width + x) * 3 + k)]);
        EXPECT_LT(difference / (c.height * 3), 12) << "column " << x;
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Media, OddWidthMovie, testing::Values(
    MovieSize{testmedia::Codec::Mjpeg,   426, 240},
    MovieSize{testmedia::Codec::Ffv1,    854, 64},
    MovieSize{testmedia::Codec::HuffYuv, 318, 242},
    MovieSize{testmedia::Codec::H264,    1366, 48}),
    [](const auto& info) {
        return testmedia::codecName(info.param.codec) + "_" + std::to_string(info.param.width) +
               "x" + std::to_string(info.param.height);
    });
// clang-format on

} // namespace

namespace {

// A 4:2:0 picture red above, blue below (BT.601, limited range), shrunk to a sketch a tenth its
// size, which reads only some of its rows: each sketch row keeps its own half's colour, so the
// chroma rows read are the ones beside the luma rows read, not twice as far down.
TEST(FrameConverterSketch, RowsReadKeepTheirChroma) {
    FramePtr frame(av_frame_alloc());
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = 640;
    frame->height = 480;
    ASSERT_GE(av_frame_get_buffer(frame.get(), 0), 0);
    for (int y = 0; y < 480; ++y)
        std::fill_n(frame->data[0] + y * frame->linesize[0], 640, y < 240 ? 81 : 41);
    for (int y = 0; y < 240; ++y) {
        std::fill_n(frame->data[1] + y * frame->linesize[1], 320, y < 120 ? 90 : 240);
        std::fill_n(frame->data[2] + y * frame->linesize[2], 320, y < 120 ? 240 : 110);
    }
    picture::FrameConverter converter;
    core::BgrImage sketch;
    converter.convert(*frame, 64, 48, 256, sketch);
    ASSERT_EQ(sketch.width, 64);
    ASSERT_EQ(sketch.height, 48);
    for (const int y : {0, 12, 22, 25, 36, 47})
        for (const int x : {0, 31, 63}) {
            const std::uint8_t* pixel = sketch.row(y) + 3 * x;
            const int blue = y < 24 ? 0 : 255;
            EXPECT_NEAR(pixel[0], blue, 12) << x << "," << y;
            EXPECT_NEAR(pixel[1], 0, 12) << x << "," << y;
            EXPECT_NEAR(pixel[2], 255 - blue, 12) << x << "," << y;
        }
}

} // namespace
