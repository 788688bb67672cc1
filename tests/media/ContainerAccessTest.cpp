#include "MediaTestSupport.h"
#include "media/Movie.h"
#include "support/testmedia/ContainerMedia.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using mediatest::frameNumberOf;
using testmedia::Container;
using testmedia::ContainerRecipe;
using testmedia::VideoCodec;

struct AccessCase {
    Container container;
    VideoCodec codec;
    const char* containerName; // as Movie reports it
    bool variableRate = false;
};

ContainerRecipe recipeOf(const AccessCase& c) {
    ContainerRecipe recipe;
    recipe.container = c.container;
    recipe.codec = c.codec;
    recipe.variableRate = c.variableRate;
    return recipe;
}

// Frames around every key frame and at both ends, then sweeps with intervals, then every frame:
// jumps back and forth, forward runs that must not seek, and the final drain.
std::vector<int> visits(int count, int gop) {
    std::vector<int> frames{count - 1, 0, count - 2, 1};
    for (int key = gop; key < count; key += gop)
        for (const int n : {key, key - 1, key + 1, key - 2})
            frames.push_back(n);
    for (const int interval : {5, 3})
        for (int n = interval - 1; n < count; n += interval)
            frames.push_back(n);
    for (int n = 0; n < count; ++n)
        frames.push_back(n);
    return frames;
}

class ContainerAccess : public testing::TestWithParam<AccessCase> {};

TEST_P(ContainerAccess, FrameNShowsNumberN) {
    const ContainerRecipe recipe = recipeOf(GetParam());
    media::Movie movie(testmedia::sharedContainerMovie(recipe));
    ASSERT_EQ(movie.frameCount(), recipe.frames);
    EXPECT_FALSE(movie.isTruncated());
    EXPECT_EQ(movie.containerName(), GetParam().containerName);
    for (const int n : visits(recipe.frames, recipe.gop))
        ASSERT_EQ(frameNumberOf(movie.frame(n)), n) << "frame " << n;
    for (const int n : {recipe.frames, -1}) {
        const auto error = mediatest::errorOf([&] { movie.frame(n); });
        ASSERT_TRUE(error.has_value()) << "frame " << n;
        EXPECT_NE(std::string(error->what())
                      .find("out of range (the movie has frames 0 to " +
                            std::to_string(recipe.frames - 1) + ")"),
                  std::string::npos)
            << error->what();
    }
}

// The table lists the frames in presentation order, without decoding, each at its own time
// (a variable rate stays as it is).
TEST_P(ContainerAccess, FrameTableRunsInPresentationOrder) {
    const ContainerRecipe recipe = recipeOf(GetParam());
    const media::Movie movie(testmedia::sharedContainerMovie(recipe));
    const std::vector<media::FrameRecord> table = movie.frameTable();
    ASSERT_EQ(static_cast<int>(table.size()), recipe.frames);
    EXPECT_DOUBLE_EQ(table.front().seconds, 0.0);
    for (std::size_t n = 1; n < table.size(); ++n)
        EXPECT_NEAR(table[n].seconds - table[n - 1].seconds,
                    static_cast<double>(testmedia::ticksOf(recipe, static_cast<int>(n)) -
                                        testmedia::ticksOf(recipe, static_cast<int>(n) - 1)) /
                        25,
                    1e-3)
            << "frame " << n;
}

// Key frames as the encoder placed them, read from each container's own index or packet flags.
TEST(ContainerFrameTable, KeyFramesAreWhereTheEncoderPutThem) {
    for (const Container container : {Container::Mp4, Container::Matroska, Container::MpegTs}) {
        ContainerRecipe recipe;
        recipe.container = container;
        const media::Movie movie(testmedia::sharedContainerMovie(recipe));
        const std::vector<media::FrameRecord> table = movie.frameTable();
        ASSERT_EQ(static_cast<int>(table.size()), recipe.frames);
        for (int n = 0; n < recipe.frames; ++n)
            EXPECT_EQ(table[static_cast<std::size_t>(n)].key, n % recipe.gop == 0)
                << testmedia::recipeName(recipe) << " frame " << n;
    }
}

// A variable rate is reported as its average, so a player keeping it takes as long as the movie:
// 36 frames over 44 ticks of 1/25 s.
TEST(ContainerRate, AVariableRateIsReportedAsItsAverage) {
    ContainerRecipe recipe;
    recipe.variableRate = true;
    const media::Movie movie(testmedia::sharedContainerMovie(recipe));
    const std::int64_t ticks = testmedia::ticksOf(recipe, recipe.frames - 1) + 1;
    EXPECT_NEAR(movie.frameRate(), recipe.frames * 25.0 / static_cast<double>(ticks), 1e-3);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Media, ContainerAccess, testing::Values(
    AccessCase{Container::Mp4,           VideoCodec::H264,   "mp4"},
    AccessCase{Container::Mp4,           VideoCodec::H264,   "mp4",      true},
    AccessCase{Container::Mp4FastStart,  VideoCodec::H264,   "mp4"},
    AccessCase{Container::Matroska,      VideoCodec::Vp9,    "matroska", true},
    AccessCase{Container::FragmentedMp4, VideoCodec::H264,   "mp4"},
    AccessCase{Container::Mp4EditList,   VideoCodec::H264,   "mp4"},
    AccessCase{Container::Matroska,      VideoCodec::H264,   "matroska"},
    AccessCase{Container::MatroskaNoCues,VideoCodec::H264,   "matroska"},
    AccessCase{Container::MpegTs,        VideoCodec::H264,   "mpegts"},
    AccessCase{Container::MpegTsWrap,    VideoCodec::H264,   "mpegts"},
    AccessCase{Container::Mp4,           VideoCodec::Hevc,   "mp4"},
    AccessCase{Container::Matroska,      VideoCodec::Hevc10, "matroska"},
    AccessCase{Container::WebM,          VideoCodec::Vp8,    "webm"},
    AccessCase{Container::WebM,          VideoCodec::Vp9,    "webm"},
    AccessCase{Container::Mp4,           VideoCodec::Av1,    "mp4"},
    AccessCase{Container::MpegPs,        VideoCodec::Mpeg2,  "mpeg"},
    AccessCase{Container::MpegPs,        VideoCodec::Mpeg4,  "mpeg"},
    AccessCase{Container::MpegTs,        VideoCodec::Mpeg2,  "mpegts"},
    AccessCase{Container::Mp4,           VideoCodec::Mpeg4,  "mp4"},
    AccessCase{Container::RawMpeg2,      VideoCodec::Mpeg2,  "mpegvideo"},
    AccessCase{Container::RawMpeg4,      VideoCodec::Mpeg4,  "m4v"},
    AccessCase{Container::Mp4NegativeOffsets, VideoCodec::H264, "mp4"},
    AccessCase{Container::Mp4CoverFirst, VideoCodec::H264,   "mp4"},
    AccessCase{Container::Mov,           VideoCodec::ProRes, "mov"},
    AccessCase{Container::Mov,           VideoCodec::Dnxhd,  "mov"}),
    [](const auto& info) { return testmedia::recipeName(recipeOf(info.param)); });
// clang-format on

} // namespace

namespace {

// A movie opened with the index another reader of the file built reads the same frames without
// a pass of its own; once the file is rewritten, that index serves no more.
TEST(SharedIndex, ServesOnlyTheFileVersionItWasBuiltFrom) {
    const std::filesystem::path file = mediatest::scratchFolder() / "shared.ts";
    ContainerRecipe recipe;
    recipe.container = Container::MpegTs;
    std::filesystem::copy_file(testmedia::sharedContainerMovie(recipe), file);
    const media::Movie first(file);
    const std::shared_ptr<const media::MovieIndex> index = first.index();
    ASSERT_NE(index, nullptr);

    media::Movie second(file, {}, {}, index);
    EXPECT_EQ(second.index()->frames, index->frames);
    ASSERT_EQ(second.frameCount(), recipe.frames);
    EXPECT_EQ(frameNumberOf(second.frame(20)), 20);

    recipe.frames = 48;
    std::filesystem::copy_file(testmedia::sharedContainerMovie(recipe), file,
                               std::filesystem::copy_options::overwrite_existing);
    media::Movie rewritten(file, {}, {}, index);
    EXPECT_NE(rewritten.index()->frames, index->frames);
    ASSERT_EQ(rewritten.frameCount(), 48);
    EXPECT_EQ(frameNumberOf(rewritten.frame(40)), 40);
}

} // namespace
