#include "MediaTestSupport.h"
#include "core/BgrImage.h"
#include "media/Movie.h"
#include "picture/PictureOrientation.h"
#include "support/testmedia/BgrImage.h"
#include "support/testmedia/ContainerMedia.h"
#include "support/testmedia/Pictures.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

using testmedia::Container;
using testmedia::ContainerRecipe;
using testmedia::DisplayMatrix;
using testmedia::VideoCodec;

// A display matrix and how the ffmpeg command line (autorotating) was seen to show it: turned
// clockwise, then mirrored left to right. The matrix is the stream's, or comes with the pictures
// (H.264 display orientation messages).
struct TurnCase {
    DisplayMatrix matrix;
    int clockwise;
    bool mirrored;
    bool inPictures = false;
};

constexpr int storedWidth = 128;
constexpr int storedHeight = 96;

ContainerRecipe recipeOf(const TurnCase& turn) {
    ContainerRecipe recipe;
    recipe.container = Container::Mp4;
    recipe.codec = VideoCodec::H264;
    recipe.frames = 8;
    recipe.gop = 4;
    (turn.inPictures ? recipe.pictureDisplay : recipe.display) = turn.matrix;
    return recipe;
}

testmedia::BgrImage quarterTurnClockwise(const testmedia::BgrImage& picture) {
    testmedia::BgrImage turned(picture.height(), picture.width());
    for (int y = 0; y < turned.height(); ++y)
        for (int x = 0; x < turned.width(); ++x)
            turned.setPixel(x, y, picture.pixel(y, picture.height() - 1 - x));
    return turned;
}

testmedia::BgrImage mirrored(const testmedia::BgrImage& picture) {
    testmedia::BgrImage flipped(picture.width(), picture.height());
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            flipped.setPixel(x, y, picture.pixel(picture.width() - 1 - x, y));
    return flipped;
}

testmedia::BgrImage shownPicture(int n, int clockwise, bool mirror) {
    testmedia::BgrImage picture = testmedia::testPicture(storedWidth, storedHeight, n);
    for (int turn = 0; turn < clockwise; turn += 90)
        picture = quarterTurnClockwise(picture);
    return mirror ? mirrored(picture) : picture;
}

// Mean difference per channel value; coding loss stays far below a picture turned the wrong way.
double meanDifference(const core::BgrImage& image, const testmedia::BgrImage& expected) {
    long long sum = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const testmedia::Bgr want = expected.pixel(x, y);
            const std::uint8_t* got = image.row(y) + 3 * x;
            sum +=
                std::abs(got[0] - want.b) + std::abs(got[1] - want.g) + std::abs(got[2] - want.r);
        }
    return static_cast<double>(sum) / (3.0 * image.width * image.height);
}

constexpr double codingLoss = 6.0;

class MovieOrientation : public testing::TestWithParam<TurnCase> {};

TEST_P(MovieOrientation, PicturesComeOutAsTheCommandLineShowsThem) {
    const TurnCase& turn = GetParam();
    media::Movie movie(testmedia::sharedContainerMovie(recipeOf(turn)));
    movie.frame(1); // a matrix in the pictures is known once one is decoded
    EXPECT_EQ(movie.orientation().rotation(), turn.clockwise);
    EXPECT_EQ(movie.orientation().isMirrored(), turn.mirrored);
    const bool sideways = turn.clockwise % 180 != 0;
    EXPECT_EQ(movie.width(), sideways ? storedHeight : storedWidth);
    EXPECT_EQ(movie.height(), sideways ? storedWidth : storedHeight);
    for (const int n : {0, 5, 2}) {
        const core::BgrImage image = movie.frame(n);
        ASSERT_EQ(image.width, movie.width());
        ASSERT_EQ(image.height, movie.height());
        EXPECT_LT(meanDifference(image, shownPicture(n, turn.clockwise, turn.mirrored)), codingLoss)
            << "frame " << n;
    }
}

// Asked for the stored orientation, a movie gives its pictures as coded, from the start or
// after changing its mind.
TEST_P(MovieOrientation, StoredOrientationOnRequest) {
    const auto file = testmedia::sharedContainerMovie(recipeOf(GetParam()));
    media::Movie movie(file, {}, picture::PictureOptions{.storedOrientation = true});
    EXPECT_EQ(movie.width(), storedWidth);
    EXPECT_EQ(movie.height(), storedHeight);
    EXPECT_LT(meanDifference(movie.frame(3), shownPicture(3, 0, false)), codingLoss);
    movie.changePictures({});
    EXPECT_LT(
        meanDifference(movie.frame(4), shownPicture(4, GetParam().clockwise, GetParam().mirrored)),
        codingLoss);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Media, MovieOrientation, testing::Values(
    TurnCase{{90, false, false},   90, false}, // a phone held upright
    TurnCase{{180, false, false}, 180, false},
    TurnCase{{-90, false, false}, 270, false},
    TurnCase{{0, true, false},      0, true},
    TurnCase{{90, true, false},    90, true},
    TurnCase{{90, false, true},   270, true},
    TurnCase{{0, false, true},    180, true},
    TurnCase{{-90, true, false},  270, true},
    TurnCase{{90, false, false},  270, false, true},
    TurnCase{{90, true, false},    90, true,  true}),
    [](const auto& info) {
        const DisplayMatrix& m = info.param.matrix;
        return std::string(info.param.inPictures ? "Pictures" : "Matrix") + std::to_string(m.angle < 0 ? 360 + m.angle : m.angle) +
               (m.hflip ? "H" : "") + (m.vflip ? "V" : "");
    });
// clang-format on

// A picture's alpha channel turns and mirrors with its colours: each pixel's alpha is its blue
// value plus 100, so a plane left behind or walked another way breaks the pairing.
TEST(PictureOrientationAlpha, TurnsWithTheColours) {
    core::BgrImage stored = core::BgrImage::blank(5, 3);
    for (int y = 0; y < stored.height; ++y)
        for (int x = 0; x < stored.width; ++x) {
            stored.row(y)[x * 3] = static_cast<std::uint8_t>(y * stored.width + x);
            stored.alpha.push_back(static_cast<std::uint8_t>(y * stored.width + x + 100));
        }
    for (const int turns : {0, 1, 2, 3})
        for (const bool mirrored : {false, true}) {
            const picture::PictureOrientation orientation(turns, mirrored);
            core::BgrImage out;
            out.alpha.assign(15, 7); // what an earlier picture left in the buffer
            orientation.apply(stored, out);
            ASSERT_EQ(out.alpha.size(), 15u);
            for (int y = 0; y < out.height; ++y)
                for (int x = 0; x < out.width; ++x)
                    EXPECT_EQ(out.alpha[static_cast<std::size_t>(y * out.width + x)],
                              out.row(y)[x * 3] + 100)
                        << turns << " turns, mirrored " << mirrored << ", at " << x << "," << y;
        }
    core::BgrImage opaque = core::BgrImage::blank(5, 3);
    core::BgrImage out;
    out.alpha.assign(15, 7);
    picture::PictureOrientation(1, false).apply(opaque, out);
    EXPECT_TRUE(out.alpha.empty());
}

} // namespace
