#include "MediaTestSupport.h"
#include "media/Movie.h"
#include "support/testmedia/ContainerMedia.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

using testmedia::ColourCoding;
using testmedia::Container;
using testmedia::ContainerRecipe;
using testmedia::VideoCodec;

struct ColourCase {
    Container container;
    VideoCodec codec;
    ColourCoding colour;
};

ContainerRecipe recipeOf(const ColourCase& c) {
    ContainerRecipe recipe;
    recipe.container = c.container;
    recipe.codec = c.codec;
    recipe.colour = c.colour;
    recipe.patches = true;
    recipe.frames = 12;
    recipe.gop = 6;
    return recipe;
}

// Mean of one channel over the middle of a patch, away from edges that chroma subsampling and
// block coding blur.
int meanOf(const core::BgrImage& image, const testmedia::ColourPatch& patch, int channel) {
    const int margin = 8;
    int sum = 0;
    int count = 0;
    for (int y = patch.y + margin; y < patch.y + patch.height - margin; ++y)
        for (int x = patch.x + margin; x < patch.x + patch.width - margin; ++x) {
            sum += image.row(y)[x * 3 + channel];
            ++count;
        }
    return sum / count;
}

class ContainerColour : public testing::TestWithParam<ColourCase> {};

// The stream declares its matrix and range; a swapped channel pair, the other matrix or the other
// range moves at least one patch by far more than the tolerance.
TEST_P(ContainerColour, PatchesKeepTheirColours) {
    const ContainerRecipe recipe = recipeOf(GetParam());
    media::Movie movie(testmedia::sharedContainerMovie(recipe));
    for (const int n : {0, 7}) {
        const core::BgrImage image = movie.frame(n);
        ASSERT_EQ(mediatest::frameNumberOf(image), n);
        for (const testmedia::ColourPatch& patch :
             testmedia::colourPatches(image.width, image.height)) {
            const int expected[3] = {patch.b, patch.g, patch.r};
            for (int channel = 0; channel < 3; ++channel)
                EXPECT_NEAR(meanOf(image, patch, channel), expected[channel], 5)
                    << "frame " << n << ", patch at " << patch.x << "," << patch.y << ", channel "
                    << "bgr"[channel];
        }
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Media, ContainerColour, testing::Values(
    ColourCase{Container::Mp4,      VideoCodec::H264,   ColourCoding::Bt601Limited},
    ColourCase{Container::Mp4,      VideoCodec::H264,   ColourCoding::Bt709Full},
    ColourCase{Container::Matroska, VideoCodec::H264,   ColourCoding::Bt709Limited},
    ColourCase{Container::Matroska, VideoCodec::Hevc10, ColourCoding::Bt709Limited},
    ColourCase{Container::WebM,     VideoCodec::Vp9,    ColourCoding::Bt601Full},
    ColourCase{Container::Mov,      VideoCodec::ProRes, ColourCoding::Bt709Limited},
    ColourCase{Container::Mov,      VideoCodec::Dnxhd,  ColourCoding::Bt709Limited},
    ColourCase{Container::MpegTs,   VideoCodec::Mpeg2,  ColourCoding::Bt709Limited}),
    [](const auto& info) { return testmedia::recipeName(recipeOf(info.param)); });
// clang-format on

} // namespace
