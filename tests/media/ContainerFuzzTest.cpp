#include "media/Movie.h"
#include "support/testmedia/ContainerMedia.h"
#include "support/testmedia/Fuzz.h"
#include "support/testmedia/TestMedia.h"

#include <fstream>
#include <gtest/gtest.h>
#include <vector>

namespace {

using testmedia::Container;
using testmedia::ContainerRecipe;
using testmedia::VideoCodec;

struct FuzzCase {
    Container container;
    VideoCodec codec;
};

ContainerRecipe recipeOf(const FuzzCase& c) {
    ContainerRecipe recipe;
    recipe.container = c.container;
    recipe.codec = c.codec;
    return recipe;
}

class ContainerFuzz : public testing::TestWithParam<FuzzCase> {};

// Random bytes overwritten anywhere (headers, tables, picture data): the movie opens or is
// refused with an error, and every frame it counts comes back as a picture or an error. A crash
// or a hang fails the run.
TEST_P(ContainerFuzz, DamagedBytesGiveErrorsNotCrashes) {
    const ContainerRecipe recipe = recipeOf(GetParam());
    const auto file =
        testmedia::scratchFolder("fuzz") /
        ("fuzz_" + testmedia::recipeName(recipe) + testmedia::containerExtension(recipe.container));
    for (const std::vector<char>& bytes :
         testmedia::fuzzedCopies(testmedia::sharedContainerMovie(recipe), 12)) {
        std::ofstream(file, std::ios::binary | std::ios::trunc)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        try {
            media::Movie movie(file);
            for (int n = movie.frameCount() - 1; n >= 0; n -= 5) {
                try {
                    const core::BgrImage image = movie.frame(n);
                    EXPECT_EQ(image.width, movie.width());
                } catch (const media::MovieError& error) {
                    EXPECT_EQ(error.frame(), n) << error.what();
                }
            }
        } catch (const media::MovieError& error) {
            EXPECT_EQ(error.frame(), -1) << error.what();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Media, ContainerFuzz,
                         testing::Values(FuzzCase{Container::Mp4FastStart, VideoCodec::H264},
                                         FuzzCase{Container::Matroska, VideoCodec::H264},
                                         FuzzCase{Container::WebM, VideoCodec::Vp9},
                                         FuzzCase{Container::MpegTs, VideoCodec::Mpeg2}),
                         [](const auto& info) {
                             return testmedia::recipeName(recipeOf(info.param));
                         });

} // namespace
