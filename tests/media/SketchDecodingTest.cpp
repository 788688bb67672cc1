#include "core/BgrImage.h"
#include "media/Movie.h"
#include "support/testmedia/TestMedia.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

// Shot search decodes without the deblocking filter. Once the movie is asked for pictures to
// write, the frame last sketched is decoded again in full, and so is the one after it, which
// would otherwise be decoded on from references that lack the filter.
TEST(SketchDecoding, PicturesAskedForAfterwardsAreDecodedInFull) {
    const std::vector<testmedia::Codec> codecs = testmedia::availableCodecs();
    if (std::find(codecs.begin(), codecs.end(), testmedia::Codec::H264) == codecs.end())
        GTEST_SKIP() << "no H.264 encoder";
    testmedia::MovieRecipe recipe;
    recipe.codec = testmedia::Codec::H264;
    recipe.width = 320;
    recipe.height = 240;
    recipe.frames = 20;
    recipe.gop = 20;
    const auto file = testmedia::sharedMovie(recipe);
    media::Movie fine(file);
    const core::BgrImage tenth = fine.frame(10);
    const core::BgrImage eleventh = fine.frame(11);

    media::Movie movie(file, media::MovieOptions{.sketchOnly = true});
    core::BgrImage sketched;
    for (int n = 0; n <= 10; ++n)
        movie.frameInto(n, sketched);
    ASSERT_NE(sketched.bytes, tenth.bytes) << "the sketch is the full picture: nothing to test";
    movie.changeOptions({});
    EXPECT_EQ(movie.frame(10).bytes, tenth.bytes);
    EXPECT_EQ(movie.frame(11).bytes, eleventh.bytes);
}

} // namespace
