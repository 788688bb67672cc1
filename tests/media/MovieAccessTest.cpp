#include "MediaTestSupport.h"
#include "media/Movie.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <tuple>
#include <vector>

namespace {

using mediatest::frameNumberOf;
using mediatest::movieFor;
using mediatest::recipeOf;
using testmedia::Codec;

constexpr int movieFrames = 60;

enum class Pattern { Ends, Sequential, RandomJumps, Backward, Strided };

std::string patternName(Pattern pattern) {
    switch (pattern) {
    case Pattern::Ends:
        return "Ends";
    case Pattern::Sequential:
        return "Sequential";
    case Pattern::RandomJumps:
        return "RandomJumps";
    case Pattern::Backward:
        return "Backward";
    case Pattern::Strided:
        return "Strided";
    }
    return "?";
}

std::vector<int> framesOf(Pattern pattern, int count) {
    std::vector<int> frames;
    switch (pattern) {
    case Pattern::Ends:
        frames = {0, 1, count - 1, 0, count - 2, 1};
        break;
    case Pattern::Sequential:
        for (int n = 0; n < count; ++n)
            frames.push_back(n);
        break;
    case Pattern::RandomJumps: {
        std::mt19937 random(20240611);
        std::uniform_int_distribution<int> pick(0, count - 1);
        for (int i = 0; i < 40; ++i)
            frames.push_back(pick(random));
        break;
    }
    case Pattern::Backward:
        for (int n = count - 1; n >= 0; n -= 3)
            frames.push_back(n);
        break;
    case Pattern::Strided:
        for (int n = 3; n < count; n += 7)
            frames.push_back(n);
        break;
    }
    return frames;
}

// The frame numbers each fetched picture shows, side by side with the ones asked for.
std::vector<int> fetchAll(media::Movie& movie, const std::vector<int>& frames) {
    std::vector<int> shown;
    core::BgrImage image;
    for (const int n : frames) {
        movie.frameInto(n, image);
        shown.push_back(frameNumberOf(image));
    }
    return shown;
}

class EveryCodec : public testing::TestWithParam<Codec> {};

TEST_P(EveryCodec, CountsTheFramesWrittenAndTheirSize) {
    const media::Movie movie(movieFor(recipeOf(GetParam(), movieFrames)));
    EXPECT_EQ(movie.frameCount(), movieFrames);
    EXPECT_EQ(movie.width(), 128);
    EXPECT_EQ(movie.height(), 96);
    EXPECT_DOUBLE_EQ(movie.frameRate(), 25.0);
    EXPECT_EQ(movie.isPalettised(), GetParam() == Codec::RawPal8);
}

INSTANTIATE_TEST_SUITE_P(Media, EveryCodec, testing::ValuesIn(testmedia::availableCodecs()),
                         [](const auto& info) { return testmedia::codecName(info.param); });

// Zero-size chunks are written for intra-only codecs only.
class IntraCodec : public testing::TestWithParam<Codec> {};

std::vector<Codec> intraCodecs() {
    std::vector<Codec> codecs;
    for (const Codec codec : testmedia::availableCodecs())
        if (testmedia::isIntraOnly(codec))
            codecs.push_back(codec);
    return codecs;
}

TEST_P(IntraCodec, DroppedFramesRepeatThePictureBefore) {
    testmedia::MovieRecipe recipe = recipeOf(GetParam(), 30);
    recipe.droppedFrames = {5, 6, 17, 29};
    media::Movie movie(movieFor(recipe));
    ASSERT_EQ(movie.frameCount(), 30);
    std::vector<int> frames = framesOf(Pattern::Sequential, 30);
    frames.insert(frames.end(), {29, 6, 18, 17, 5, 7});
    std::vector<int> expected;
    for (const int n : frames) {
        int shown = n;
        while (std::find(recipe.droppedFrames.begin(), recipe.droppedFrames.end(), shown) !=
               recipe.droppedFrames.end())
            --shown;
        expected.push_back(shown);
    }
    EXPECT_EQ(fetchAll(movie, frames), expected);
}

INSTANTIATE_TEST_SUITE_P(Media, IntraCodec, testing::ValuesIn(intraCodecs()),
                         [](const auto& info) { return testmedia::codecName(info.param); });

class CodecAndPattern : public testing::TestWithParam<std::tuple<Codec, Pattern>> {};

TEST_P(CodecAndPattern, EveryFetchedFrameShowsItsNumber) {
    const auto [codec, pattern] = GetParam();
    media::Movie movie(movieFor(recipeOf(codec, movieFrames)));
    const std::vector<int> frames = framesOf(pattern, movieFrames);
    EXPECT_EQ(fetchAll(movie, frames), frames);
}

INSTANTIATE_TEST_SUITE_P(Media, CodecAndPattern,
                         testing::Combine(testing::ValuesIn(testmedia::availableCodecs()),
                                          testing::Values(Pattern::Ends, Pattern::Sequential,
                                                          Pattern::RandomJumps, Pattern::Backward,
                                                          Pattern::Strided)),
                         [](const auto& info) {
                             return testmedia::codecName(std::get<0>(info.param)) + "_" +
                                    patternName(std::get<1>(info.param));
                         });

// Codecs with B-frames store a key frame before its display place; jumps around key frames
// and the last frames (which leave the decoder only when it is drained) are where that shows.
struct KeyFrameCase {
    Codec codec;
    int gop;
    int frames;
};

class AroundKeyFrames : public testing::TestWithParam<KeyFrameCase> {};

std::vector<int> aroundKeys(int gop, int frames) {
    std::vector<int> wanted;
    for (int key = gop; key < frames; key += gop)
        for (int n = key - 3; n <= key + 3; ++n)
            wanted.push_back(n);
    wanted.insert(wanted.end(), {frames - 1, frames - 2, 0, frames - 1});
    return wanted;
}

TEST_P(AroundKeyFrames, JumpsForwardAndBackLandOnTheFrameAsked) {
    const KeyFrameCase c = GetParam();
    media::Movie movie(movieFor(recipeOf(c.codec, c.frames, c.gop)));
    ASSERT_EQ(movie.frameCount(), c.frames);
    std::vector<int> frames = aroundKeys(c.gop, c.frames);
    std::mt19937 random(7);
    std::shuffle(frames.begin(), frames.end(), random);
    EXPECT_EQ(fetchAll(movie, frames), frames);
    std::sort(frames.rbegin(), frames.rend());
    EXPECT_EQ(fetchAll(movie, frames), frames);
}

TEST_P(AroundKeyFrames, EveryNthFrameInOrder) {
    const KeyFrameCase c = GetParam();
    media::Movie movie(movieFor(recipeOf(c.codec, c.frames, c.gop)));
    std::vector<int> frames;
    for (int n = 0; n < c.frames; n += 5)
        frames.push_back(n);
    frames.push_back(c.frames - 1);
    EXPECT_EQ(fetchAll(movie, frames), frames);
}

std::vector<KeyFrameCase> keyFrameCases() {
    std::vector<KeyFrameCase> cases;
    for (const Codec codec : testmedia::availableCodecs())
        if (codec == Codec::Mpeg4BFrames || codec == Codec::Mpeg4PackedBFrames ||
            codec == Codec::H264) {
            cases.push_back({codec, 12, 60});
            cases.push_back({codec, 250, 520});
        }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Media, AroundKeyFrames, testing::ValuesIn(keyFrameCases()),
                         [](const auto& info) {
                             return testmedia::codecName(info.param.codec) + "_Gop" +
                                    std::to_string(info.param.gop);
                         });

TEST(MoviePalette, PalettisedMovieHandsOnThePaletteWithThePixels) {
    media::Movie movie(movieFor(recipeOf(Codec::RawPal8, 10)));
    ASSERT_TRUE(movie.isPalettised());
    const core::BgrImage image = movie.frame(4);
    EXPECT_EQ(image.palette.size(), 256u);
    EXPECT_EQ(frameNumberOf(image), 4);
    for (const std::uint32_t entry : image.palette)
        EXPECT_EQ(entry & 0xFF000000u, 0u);
}

TEST(MoviePalette, TrueColourMovieHasNone) {
    media::Movie movie(movieFor(recipeOf(Codec::Mjpeg, 10)));
    EXPECT_FALSE(movie.isPalettised());
    EXPECT_TRUE(movie.frame(3).palette.empty());
}

TEST(MovieFrameInto, OverwritesAReusedBufferAndZeroesRowPadding) {
    testmedia::MovieRecipe recipe = recipeOf(Codec::RawBgr24, 10);
    recipe.width = 130; // 390 bytes a row, stride 392
    media::Movie movie(movieFor(recipe));
    core::BgrImage image = core::BgrImage::blank(130, 96);
    std::fill(image.bytes.begin(), image.bytes.end(), 0xAB);
    image.palette = {1, 2, 3};
    movie.frameInto(7, image);
    EXPECT_EQ(frameNumberOf(image), 7);
    EXPECT_TRUE(image.palette.empty());
    for (int y = 0; y < image.height; ++y)
        EXPECT_EQ(image.row(y)[390] | image.row(y)[391], 0) << "row " << y;
}

TEST(MovieMove, MovedMovieGoesOnWhereItStood) {
    media::Movie first(movieFor(recipeOf(Codec::Mpeg4BFrames, movieFrames)));
    EXPECT_EQ(frameNumberOf(first.frame(20)), 20);
    media::Movie second(std::move(first));
    EXPECT_EQ(frameNumberOf(second.frame(21)), 21);
    first = std::move(second);
    EXPECT_EQ(frameNumberOf(first.frame(5)), 5);
}

double meanDifference(const core::BgrImage& image, const std::vector<std::uint8_t>& expected) {
    double sum = 0;
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 3;
    for (int y = 0; y < image.height; ++y)
        for (std::size_t i = 0; i < rowBytes; ++i)
            sum += std::abs(image.row(y)[i] - expected[static_cast<std::size_t>(y) * rowBytes + i]);
    return sum / static_cast<double>(rowBytes * static_cast<std::size_t>(image.height));
}

// Lossless colour movies decode to their source pictures byte for byte, so a red-blue swap
// anywhere on the way fails here (the frame-number cells are black and white).
class RgbExactCodec : public testing::TestWithParam<Codec> {};

TEST_P(RgbExactCodec, FramesAreTheSourcePictures) {
    const testmedia::MovieRecipe recipe = recipeOf(GetParam(), 30);
    media::Movie movie(movieFor(recipe));
    for (const int n : {0, 7, 29})
        EXPECT_EQ(meanDifference(movie.frame(n), testmedia::expectedPicture(recipe, n)), 0.0)
            << "frame " << n;
}

std::vector<Codec> rgbExactCodecs() {
    std::vector<Codec> codecs;
    for (const Codec codec : testmedia::availableCodecs())
        if (testmedia::isRgbExact(codec))
            codecs.push_back(codec);
    return codecs;
}

INSTANTIATE_TEST_SUITE_P(Media, RgbExactCodec, testing::ValuesIn(rgbExactCodecs()),
                         [](const auto& info) { return testmedia::codecName(info.param); });

// A stream flagged full range in a pixel format with no full-range twin (10-bit H.264): read as
// limited range, its darks would sink and its lights burn out, about 6 levels on average.
TEST(MovieColour, FullRangeFlagOfAPlainFormatIsApplied) {
    const testmedia::MovieRecipe recipe = recipeOf(Codec::H264FullRange10, 30);
    media::Movie movie(movieFor(recipe));
    for (const int n : {0, 7, 29})
        EXPECT_LT(meanDifference(movie.frame(n), testmedia::expectedPicture(recipe, n)), 3.5)
            << "frame " << n;
}

} // namespace
