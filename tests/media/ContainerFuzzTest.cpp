#include "media/Movie.h"
#include "support/testmedia/ContainerMedia.h"
#include "support/testmedia/TestMedia.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
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

std::vector<char> readAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ContainerFuzz : public testing::TestWithParam<FuzzCase> {};

// Random bytes overwritten anywhere (headers, tables, picture data): the movie opens or is
// refused with an error, and every frame it counts comes back as a picture or an error. A crash
// or a hang fails the run.
TEST_P(ContainerFuzz, DamagedBytesGiveErrorsNotCrashes) {
    const ContainerRecipe recipe = recipeOf(GetParam());
    const std::vector<char> sound = readAll(testmedia::sharedContainerMovie(recipe));
    const auto file =
        testmedia::scratchFolder("fuzz") /
        ("fuzz_" + testmedia::recipeName(recipe) + testmedia::containerExtension(recipe.container));
    std::mt19937 random(20261208);
    for (int round = 0; round < 12; ++round) {
        std::vector<char> bytes = sound;
        std::uniform_int_distribution<std::size_t> place(0, bytes.size() - 1);
        // Early rounds hit the first kilobytes, where the headers and tables mostly are.
        std::uniform_int_distribution<std::size_t> early(
            0, std::min<std::size_t>(bytes.size(), 2048) - 1);
        for (int hit = 0; hit < 8; ++hit)
            bytes[round < 6 ? early(random) : place(random)] = static_cast<char>(random());
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
