#include "MediaTestSupport.h"
#include "media/Movie.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

using mediatest::frameNumberOf;
using mediatest::recipeOf;
using mediatest::scratchFolder;
using testmedia::Codec;

constexpr int cutMovieFrames = 60;

std::optional<media::MovieError> errorOf(media::Movie& movie, int n, int& shown) {
    try {
        shown = frameNumberOf(movie.frame(n));
    } catch (const media::MovieError& error) {
        return error;
    }
    return std::nullopt;
}

struct CutCase {
    Codec codec;
    int chunk;
};

std::filesystem::path cutMovie(const CutCase& c) {
    const auto file = scratchFolder() / ("cut_" + testmedia::codecName(c.codec) + "_" +
                                         std::to_string(c.chunk) + ".avi");
    if (!std::filesystem::exists(file))
        testmedia::writeCutMovie(file, recipeOf(c.codec, cutMovieFrames), {c.chunk});
    return file;
}

// Chunks are stored in decoding order, so the chunk cut short may hold a picture that shows
// before pictures already read, and the decoder hands out the last pictures without time
// stamps. No frame may show another frame's picture; one that cannot come is reported.
class CutInsideAChunk : public testing::TestWithParam<CutCase> {};

TEST_P(CutInsideAChunk, EveryFrameShowsItsOwnPictureOrIsReported) {
    const CutCase c = GetParam();
    media::Movie movie(cutMovie(c));
    EXPECT_TRUE(movie.isTruncated());
    EXPECT_EQ(movie.claimedFrameCount(), cutMovieFrames);
    ASSERT_EQ(movie.frameCount(), c.chunk);
    std::vector<int> order;
    for (int n = 0; n < c.chunk; ++n)
        order.push_back(n);
    for (int n = c.chunk - 1; n >= c.chunk - 6; --n)
        order.push_back(n);
    int reported = -1;
    for (const int n : order) {
        int shown = -1;
        const auto error = errorOf(movie, n, shown);
        if (!error) {
            EXPECT_EQ(shown, n);
            continue;
        }
        EXPECT_EQ(error->frame(), n);
        EXPECT_NE(std::string(error->what()).find("truncated"), std::string::npos) << error->what();
        // Only the picture of the chunk cut short can be missing.
        if (reported < 0)
            reported = n;
        EXPECT_EQ(n, reported) << error->what();
    }
}

std::vector<CutCase> cutCases() {
    std::vector<CutCase> cases;
    for (const Codec codec : testmedia::availableCodecs())
        if (codec == Codec::Mpeg4BFrames || codec == Codec::H264)
            for (int chunk = 31; chunk <= 36; ++chunk)
                cases.push_back({codec, chunk});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Media, CutInsideAChunk, testing::ValuesIn(cutCases()),
                         [](const auto& info) {
                             return testmedia::codecName(info.param.codec) + "_Chunk" +
                                    std::to_string(info.param.chunk);
                         });

// A copy or a capture that stopped early: 1000 of the 1600 frames its headers promise. Whether
// the cut leaves part of a chunk or the RIFF size was mended, the count is of the frames
// present, the file says it is truncated, and asking past the cut says so.
TEST(MovieTruncated, ReportsTheCutAndTheFramesPromised) {
    testmedia::MovieRecipe recipe = recipeOf(Codec::Mjpeg, 1600);
    recipe.width = 64;
    recipe.height = 48;
    const testmedia::Cut cuts[] = {
        {1000, true, false}, {1000, true, true}, {1000, false, false}, {1000, false, true}};
    for (const testmedia::Cut& cut : cuts) {
        const std::string name = "cut1000_" + std::to_string(cut.insideChunk) + "_" +
                                 std::to_string(cut.riffSizeFixed) + ".avi";
        const auto file = scratchFolder() / name;
        testmedia::writeCutMovie(file, recipe, cut);
        media::Movie movie(file);
        EXPECT_TRUE(movie.isTruncated()) << name;
        EXPECT_EQ(movie.claimedFrameCount(), 1600) << name;
        ASSERT_EQ(movie.frameCount(), 1000) << name;
        EXPECT_EQ(frameNumberOf(movie.frame(999)), 999) << name;
        for (const int n : {1000, 1599, 1600}) {
            int shown = -1;
            const auto error = errorOf(movie, n, shown);
            ASSERT_TRUE(error.has_value()) << name << " frame " << n;
            EXPECT_EQ(error->frame(), n);
            EXPECT_NE(std::string(error->what()).find("truncated"), std::string::npos)
                << error->what();
        }
    }
}

} // namespace
