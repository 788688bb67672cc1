#include "support/testmedia/ContainerDamage.h"

#include "MediaTestSupport.h"
#include "media/Movie.h"
#include "support/testmedia/ContainerMedia.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

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
                    UnopenableCase{ContainerDamage::SoundWithCover, "no video stream"},
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

// Bits flipped in the slices of one picture: the decoder conceals the damage and says so, and
// that frame is an error, with one decoder thread or several (frame threads drop the mark).
TEST(ConcealedPicture, IsAnErrorOfThatFrame) {
    const auto file = testmedia::damagedContainerMovie(ContainerDamage::Mp4FlippedBits);
    const int damaged = testmedia::flippedBitsFrame();
    ASSERT_GT(damaged, sourceGop);
    ASSERT_LT(damaged, 2 * sourceGop);
    for (const int threads : {1, 0}) {
        media::Movie movie(file, {.decoderThreads = threads});
        for (int n = 0; n < sourceGop; ++n)
            EXPECT_EQ(frameNumberOf(movie.frame(n)), n) << "frame " << n << ", threads " << threads;
        for (int attempt = 0; attempt < 2; ++attempt) { // reading on, then by a jump
            const auto error = errorOf([&] { movie.frame(damaged); });
            ASSERT_TRUE(error.has_value()) << "threads " << threads;
            EXPECT_EQ(error->frame(), damaged);
            EXPECT_NE(error->reason().find("damaged"), std::string::npos) << error->what();
            EXPECT_NE(std::string(error->what()).find(utf8(file)), std::string::npos);
            EXPECT_EQ(frameNumberOf(movie.frame(2 * sourceGop)), 2 * sourceGop);
        }
    }
}

// Frame threads hand out the B-pictures shown before a damaged picture they lean on while the
// decoder may still be on it. Once the threads are done the movie owns up to the complaint,
// and those frames fetched again come out as one thread decodes them; a sound stretch keeps
// its threads.
TEST(ConcealedPicture, PicturesHandedOutBeforeTheComplaintAreOwnedUpTo) {
    media::Movie sound(testmedia::sharedContainerMovie({}), {.decoderThreads = 3});
    ASSERT_TRUE(sound.decodesOnFrameThreads());
    std::uint64_t mark = sound.complaints();
    for (int n = 0; n < sourceFrames; ++n)
        sound.frame(n);
    EXPECT_FALSE(sound.complainedSince(mark));
    EXPECT_TRUE(sound.decodesOnFrameThreads());

    const auto file = testmedia::damagedContainerMovie(ContainerDamage::Mp4FlippedBits);
    const int damaged = testmedia::flippedBitsFrame();
    media::Movie movie(file, {.decoderThreads = 3});
    media::Movie steady(file, {.decoderThreads = 1});
    mark = movie.complaints();
    for (int n = sourceGop; n < damaged; ++n)
        movie.frame(n);
    EXPECT_TRUE(movie.complainedSince(mark));
    EXPECT_FALSE(movie.decodesOnFrameThreads());
    for (int n = damaged - 1; n >= sourceGop; --n)
        EXPECT_EQ(movie.frame(n).bytes, steady.frame(n).bytes) << "frame " << n;
}

// Decoders mark only the picture they conceal damage in. A frame predicted from a damaged key
// frame, fetched alone, is an error naming that key frame, as a run through it finds it.
TEST(ConcealedPicture, AFrameBuiltOnADamagedKeyFrameNamesIt) {
    const auto file = testmedia::damagedContainerMovie(ContainerDamage::Mp4FlippedKeyFrame);
    for (const int threads : {1, 0}) {
        media::Movie movie(file, {.decoderThreads = threads});
        for (const int n : {sourceGop + 5, 2 * sourceGop - 1, sourceGop + 5, sourceGop + 6}) {
            const auto error = errorOf([&] { movie.frame(n); });
            ASSERT_TRUE(error.has_value()) << "frame " << n << ", threads " << threads;
            EXPECT_EQ(error->frame(), n);
            EXPECT_EQ(error->dependsOn(), sourceGop);
            EXPECT_NE(
                error->reason().find("depends on the damaged frame " + std::to_string(sourceGop)),
                std::string::npos)
                << error->what();
        }
        const auto error = errorOf([&] { movie.frame(sourceGop); });
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->dependsOn(), -1);
        EXPECT_EQ(frameNumberOf(movie.frame(2 * sourceGop)), 2 * sourceGop);
        EXPECT_EQ(frameNumberOf(movie.frame(sourceGop - 1)), sourceGop - 1);
    }
}

// Recordings cut from the middle of a movie: the pictures that refer to the part cut off are
// no frames. Counting starts at the first picture a player shows, and every frame decodes.
class CutRecording : public testing::TestWithParam<ContainerDamage> {};

TEST_P(CutRecording, StartsAtTheFirstWholePicture) {
    media::Movie movie(testmedia::damagedContainerMovie(GetParam()));
    const int count = sourceFrames - sourceGop;
    ASSERT_EQ(movie.frameCount(), count);
    ASSERT_EQ(movie.frameTable().size(), static_cast<std::size_t>(count));
    EXPECT_EQ(movie.frameTable().front().seconds, 0.0);
    EXPECT_TRUE(movie.frameTable().front().key);
    for (int n = count - 1; n >= 0; n -= 5)
        EXPECT_EQ(frameNumberOf(movie.frame(n)), sourceGop + n) << "frame " << n;
    for (int n = 0; n < count; ++n)
        EXPECT_EQ(frameNumberOf(movie.frame(n)), sourceGop + n) << "frame " << n;
}

INSTANTIATE_TEST_SUITE_P(Media, CutRecording,
                         testing::Values(ContainerDamage::TransportCutAtKey,
                                         ContainerDamage::MatroskaCutMidGop,
                                         ContainerDamage::MatroskaOpenGopUnstamped),
                         [](const auto& info) { return testmedia::damageName(info.param); });

// One block's time stamp moved far past the movie's end: the stamp is put right and said so,
// rather than its picture moved to the end and every frame after it shifted; the repaired
// time is its own, not a neighbour's.
class FarTimeStamp : public testing::TestWithParam<ContainerDamage> {};

TEST_P(FarTimeStamp, IsRepairedAndEveryFrameKeepsItsPicture) {
    media::Movie movie(testmedia::damagedContainerMovie(GetParam()));
    EXPECT_EQ(movie.repairedTimeStamps(), 1);
    ASSERT_EQ(movie.frameCount(), sourceFrames);
    const std::vector<media::FrameRecord> table = movie.frameTable();
    for (int n = 0; n < sourceFrames; ++n) {
        EXPECT_NEAR(table[static_cast<std::size_t>(n)].seconds, n / 25.0, 1e-3) << "frame " << n;
        EXPECT_EQ(frameNumberOf(movie.frame(n)), n) << "frame " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Media, FarTimeStamp,
                         testing::Values(ContainerDamage::TransportStampFar,
                                         ContainerDamage::TransportStampFarH264),
                         [](const auto& info) { return testmedia::damageName(info.param); });

// Two stamps ages past the end, near enough to each other that each lies among the other's
// neighbours: the free time for the first was searched for tick by tick across that gap, which
// would take hours (the suite's timeout fails it).
TEST(FarTimeStamps, AgesAwayAreRepairedWithoutWalkingTheGap) {
    media::Movie movie(testmedia::damagedContainerMovie(ContainerDamage::MatroskaStampsAgesAway));
    EXPECT_EQ(movie.repairedTimeStamps(), 2);
    ASSERT_EQ(movie.frameCount(), sourceFrames);
    for (int n = 0; n < sourceFrames; ++n)
        EXPECT_EQ(frameNumberOf(movie.frame(n)), n) << "frame " << n;
}

// A fragment the demuxer skips as unreadable takes its pictures with it: the loss is reported,
// and the frames count on across it. Pictures of two ticks (a variable rate) are no loss.
TEST(LostFragment, IsReportedAndTheFramesCountOnAcrossIt) {
    media::Movie movie(testmedia::damagedContainerMovie(ContainerDamage::FragmentLost));
    EXPECT_EQ(movie.lostStretches(), 1);
    ASSERT_EQ(movie.frameCount(), sourceFrames - sourceGop);
    for (const int n : {0, sourceGop - 1, sourceGop, movie.frameCount() - 1})
        EXPECT_EQ(frameNumberOf(movie.frame(n)), n < sourceGop ? n : n + sourceGop);

    testmedia::ContainerRecipe variable;
    variable.container = testmedia::Container::FragmentedMp4;
    variable.variableRate = true;
    EXPECT_EQ(media::Movie(testmedia::sharedContainerMovie(variable)).lostStretches(), 0);
}

// The picture size comes only with the key frame 9.2 s into the file, past where the first
// probe stops: the movie opens from that key frame on rather than being refused.
TEST(CutLongBeforeKey, OpensFromTheKeyFramePastTheFirstProbe) {
    media::Movie movie(
        testmedia::damagedContainerMovie(ContainerDamage::TransportCutLongBeforeKey));
    EXPECT_EQ(movie.width(), 128);
    ASSERT_EQ(movie.frameCount(), 10);
    EXPECT_EQ(frameNumberOf(movie.frame(0)), 250);
    EXPECT_EQ(frameNumberOf(movie.frame(9)), 259);
}
