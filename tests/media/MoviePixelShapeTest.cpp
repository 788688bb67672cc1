#include "MediaTestSupport.h"
#include "media/Movie.h"
#include "support/testmedia/ContainerMedia.h"

#include <gtest/gtest.h>

namespace {

// 128 x 96 pictures of pixels 8:9 wide (taller than wide): 128 x 108 with square pixels.
std::filesystem::path tallPixelMovie(bool avi) {
    if (avi) {
        testmedia::MovieRecipe recipe = mediatest::recipeOf(testmedia::Codec::Mjpeg, 4);
        recipe.aspectNum = 8;
        recipe.aspectDen = 9;
        return mediatest::movieFor(recipe);
    }
    testmedia::ContainerRecipe recipe;
    recipe.frames = 4;
    recipe.gop = 4;
    recipe.aspectNum = 8;
    recipe.aspectDen = 9;
    return testmedia::sharedContainerMovie(recipe);
}

class MoviePixelShape : public testing::TestWithParam<bool> {};

// The stored size by default, its pictures saying the shape of their pixels; stretched down to
// square pixels on request.
TEST_P(MoviePixelShape, StoredSizeUnlessSquarePixelsAreAsked) {
    media::Movie movie(tallPixelMovie(GetParam()));
    EXPECT_EQ(movie.sampleAspect(), (core::PixelShape{8, 9}));
    EXPECT_EQ(movie.squareSize(), (core::PixelShape::Size{128, 108}));
    const core::BgrImage stored = movie.frame(1);
    EXPECT_EQ(stored.width, 128);
    EXPECT_EQ(stored.height, 96);
    EXPECT_EQ(stored.sampleAspect, (core::PixelShape{8, 9}));

    movie.changePictures({.squarePixels = true});
    EXPECT_EQ(movie.width(), 128);
    EXPECT_EQ(movie.height(), 108);
    const core::BgrImage square = movie.frame(2);
    EXPECT_EQ(square.width, 128);
    EXPECT_EQ(square.height, 108);
    EXPECT_TRUE(square.sampleAspect.isSquare());

    // A size no picture can have is the request's fault, not a frame's: the error names none.
    movie.changePictures({.size = core::SizeRequest::parse("x16000")});
    try {
        movie.frame(3);
        ADD_FAILURE() << "a picture over 16384 wide was made";
    } catch (const media::MovieError& error) {
        EXPECT_EQ(error.frame(), -1) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Media, MoviePixelShape, testing::Bool(),
                         [](const auto& info) { return info.param ? "Avi" : "Mp4"; });

} // namespace
