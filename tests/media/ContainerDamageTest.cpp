#include "support/testmedia/ContainerDamage.h"

#include "MediaTestSupport.h"
#include "media/Movie.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

using mediatest::errorOf;
using mediatest::frameNumberOf;
using mediatest::utf8;
using testmedia::ContainerDamage;

constexpr int sourceFrames = 36;
constexpr int sourceGop = 12;

struct UnopenableCase {
    ContainerDamage damage;
    const char* reason; // part of the message
};

class UnopenableContainer : public testing::TestWithParam<UnopenableCase> {};

TEST_P(UnopenableContainer, ThrowsNamingTheFileAndWhy) {
    const auto file = testmedia::damagedContainerMovie(GetParam().damage);
    const auto error = errorOf([&] { media::Movie movie(file); });
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(std::string(error->what()).find(utf8(file)), std::string::npos) << error->what();
    EXPECT_NE(error->reason().find(GetParam().reason), std::string::npos) << error->what();
    EXPECT_EQ(error->frame(), -1);
}

INSTANTIATE_TEST_SUITE_P(
    Media, UnopenableContainer,
    testing::Values(UnopenableCase{ContainerDamage::Mp4CutBeforeIndex, "no video stream"},
                    UnopenableCase{ContainerDamage::Mp4WithoutIndex, "cannot open"},
                    UnopenableCase{ContainerDamage::SoundOnly, "no video stream"},
                    UnopenableCase{ContainerDamage::UnknownCodec, "codec not supported"},
                    UnopenableCase{ContainerDamage::ElementaryStream, "order"}),
    [](const auto& info) { return testmedia::damageName(info.param.damage); });

// A file cut short keeps the frames before the cut, each the right picture in any order;
// the frames cut off are reported as beyond the end.
class CutContainer : public testing::TestWithParam<ContainerDamage> {};

TEST_P(CutContainer, FramesBeforeTheCutAreFetched) {
    const auto file = testmedia::damagedContainerMovie(GetParam());
    media::Movie movie(file);
    const int count = movie.frameCount();
    ASSERT_GE(count, 6);
    ASSERT_LT(count, sourceFrames);
    EXPECT_TRUE(movie.isTruncated());
    // Past the last packet kept, a picture may be missing from the middle of a B-pyramid:
    // numbers then run on without it.
    const int exact = count - 4;
    for (const int n : {exact - 1, 0, exact / 2, 1})
        EXPECT_EQ(frameNumberOf(movie.frame(n)), n) << "frame " << n;
    int previous = -1;
    for (int n = 0; n < count; ++n) {
        const int shown = frameNumberOf(movie.frame(n));
        EXPECT_GT(shown, previous) << "frame " << n;
        previous = shown;
    }
    const auto error = errorOf([&] { movie.frame(count); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->frame(), count);
    EXPECT_NE(std::string(error->what()).find(utf8(file)), std::string::npos) << error->what();
}

INSTANTIATE_TEST_SUITE_P(Media, CutContainer,
                         testing::Values(ContainerDamage::Mp4CutInData,
                                         ContainerDamage::MatroskaCutInCluster),
                         [](const auto& info) { return testmedia::damageName(info.param); });

// The index promises a key frame where a predicted picture lies: frames after it still come
// right, from the key frame before, in any order.
TEST(MisflaggedContainer, FramesAfterAFalseKeyFrameComeRight) {
    media::Movie movie(testmedia::damagedContainerMovie(ContainerDamage::Mp4FalseKeyFrame));
    ASSERT_EQ(movie.frameCount(), sourceFrames);
    for (const int n : {sourceFrames - 1, 2 * sourceGop + 4, 5, 2 * sourceGop + 1})
        EXPECT_EQ(frameNumberOf(movie.frame(n)), n) << "frame " << n;
}

// A picture the decoder refuses in a whole file is a decode failure of that frame, not a cut,
// even at the end of the data; the frames before it still come.
TEST(DamagedContainer, AnUndecodableLastPictureIsADecodeFailure) {
    const auto file = testmedia::damagedContainerMovie(ContainerDamage::MovGarbledLastFrame);
    // One thread: the decoder then reads on to the end of the file before it gives up.
    media::Movie movie(file, {.decoderThreads = 1});
    ASSERT_EQ(movie.frameCount(), sourceFrames);
    EXPECT_FALSE(movie.isTruncated());
    const auto error = errorOf([&] { movie.frame(sourceFrames - 1); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->frame(), sourceFrames - 1);
    EXPECT_NE(error->reason().find("decode failure"), std::string::npos) << error->what();
    EXPECT_EQ(frameNumberOf(movie.frame(sourceFrames - 2)), sourceFrames - 2);
}

// Transport packets lost inside pictures of the second GOP, with the 33-bit clock wrapping in
// it: every picture is still counted, and the GOPs either side show their own numbers.
TEST(DamagedTransportStream, LostPacketsKeepTheNumbering) {
    const auto file = testmedia::damagedContainerMovie(ContainerDamage::TransportLostPackets);
    media::Movie movie(file);
    ASSERT_EQ(movie.frameCount(), sourceFrames);
    for (int n = sourceFrames - 1; n >= 0; --n) {
        const bool damagedGop = n >= sourceGop && n < 2 * sourceGop;
        std::optional<int> shown;
        const auto error = errorOf([&] { shown = frameNumberOf(movie.frame(n)); });
        if (!damagedGop) {
            ASSERT_FALSE(error.has_value()) << error->what();
            EXPECT_EQ(shown, n);
        } else if (error) {
            EXPECT_EQ(error->frame(), n);
            EXPECT_NE(std::string(error->what()).find(utf8(file)), std::string::npos);
        }
    }
}

} // namespace
