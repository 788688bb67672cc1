#include "PlayerTestSupport.h"
#include "platform/ServiceRecorder.h"
#include "player/GKitMSPlay.h"
#include "support/testmedia/ContainerDamage.h"
#include "support/testmedia/ContainerMedia.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace {

using playertest::frameNumberOf;
using playertest::movieFor;
using playertest::openPaused;
using playertest::qtPath;
using playertest::recipeOf;
using testmedia::Codec;

// A player of a 12-frame movie, loaded and not playing.
class PlaybackBase {
protected:
    PlaybackBase() { openPaused(player, movieFor(recipeOf(Codec::Mjpeg, 12))); }
    void ticks(int count) { playertest::ticks(player, count); }
    int shown() const { return frameNumberOf(player.picture()); }

    TGKitMSPlay player;
};

class Playback : public PlaybackBase, public testing::Test {};

TEST_F(Playback, EachTickShowsTheNextFrame) {
    ASSERT_TRUE(player.Play());
    EXPECT_TRUE(player.Playing());
    ticks(3);
    EXPECT_EQ(player.Position(), 3);
    EXPECT_EQ(shown(), 3);
}

// Pause holds the frame; Stop returns to the first. Play goes on from the held frame.
struct HaltCase {
    const char* name;
    bool (TGKitMSPlay::*command)();
    int ticksBefore;
    int heldAt;
};

class PlaybackHalt : public PlaybackBase, public testing::TestWithParam<HaltCase> {};

TEST_P(PlaybackHalt, HoldsItsFrameAndPlayGoesOnFromIt) {
    const HaltCase c = GetParam();
    player.Play();
    ticks(c.ticksBefore);
    ASSERT_TRUE((player.*c.command)());
    EXPECT_FALSE(player.Playing());
    EXPECT_EQ(player.Position(), c.heldAt);
    EXPECT_EQ(shown(), c.heldAt);
    player.Play();
    ticks(1);
    EXPECT_EQ(shown(), c.heldAt + 1);
}

INSTANTIATE_TEST_SUITE_P(Playback, PlaybackHalt,
                         testing::Values(HaltCase{"Pause", &TGKitMSPlay::Pause, 4, 4},
                                         HaltCase{"Stop", &TGKitMSPlay::Stop, 6, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Playback, LoopWrapsToTheFirstFrame) {
    player.Play();
    ticks(11);
    ASSERT_EQ(player.Position(), 11);
    ticks(1);
    EXPECT_EQ(player.Position(), 0);
    EXPECT_EQ(shown(), 0);
    EXPECT_TRUE(player.Playing());
}

TEST_F(Playback, WithoutLoopPlaybackHaltsOnTheLastFrameAndPlayStartsOver) {
    player.setLoop(false);
    player.Play();
    ticks(14);
    EXPECT_FALSE(player.Playing());
    EXPECT_EQ(player.Position(), 11);
    EXPECT_EQ(shown(), 11);
    player.Play();
    EXPECT_EQ(shown(), 0);
    ticks(1);
    EXPECT_EQ(shown(), 1);
}

// A movie of variable frame rate plays at its own pace: each frame stays until the next one's
// time, a damaged frame too (the picture before it held that long). Regression: every frame
// lasted one frame at the nominal rate; a damaged one kept the interval of the frame before.
void playEachFrameUntilTheNextFramesTime(TGKitMSPlay& player, const std::filesystem::path& movie) {
    testmedia::ContainerRecipe recipe;
    recipe.variableRate = true;
    openPaused(player, movie);
    player.Play();
    for (int n = 0; n < player.Length(); ++n) {
        ASSERT_EQ(player.Position(), n);
        const std::int64_t ticks =
            testmedia::ticksOf(recipe, n + 1) - testmedia::ticksOf(recipe, n);
        EXPECT_EQ(player.frameInterval(), 40 * ticks) << "frame " << n;
        player.Tick();
    }
}

TEST(PlaybackOfVariableRate, EachFrameLastsUntilTheNextFramesTime) {
    testmedia::ContainerRecipe recipe;
    recipe.container = testmedia::Container::Matroska;
    recipe.frames = 12;
    recipe.variableRate = true;
    TGKitMSPlay player;
    playEachFrameUntilTheNextFramesTime(player, testmedia::sharedContainerMovie(recipe));
    EXPECT_EQ(frameNumberOf(player.picture()), recipe.frames - 1);
}

TEST(PlaybackOfVariableRate, ADamagedFrameLastsItsOwnTime) {
    TGKitMSPlay player;
    playEachFrameUntilTheNextFramesTime(
        player,
        testmedia::damagedContainerMovie(testmedia::ContainerDamage::Mp4VariableRateZeroed));
}

TEST(PlaybackWithoutMovie, EveryCommandIsHarmless) {
    TGKitMSPlay player;
    EXPECT_FALSE(player.Play());
    EXPECT_FALSE(player.Pause());
    EXPECT_FALSE(player.Stop());
    player.Tick();
    EXPECT_FALSE(player.Playing());
    EXPECT_EQ(player.Position(), -1);
}

TEST(PlaybackOfOneFrame, LoopingKeepsTheOnlyFrame) {
    TGKitMSPlay player;
    player.setFileName(qtPath(movieFor(recipeOf(Codec::RawBgr24, 1, 64, 48))));
    ASSERT_EQ(player.Length(), 0);
    player.Tick();
    player.Tick();
    EXPECT_EQ(player.Position(), 0);
    EXPECT_EQ(frameNumberOf(player.picture()), 0);
}

TEST(PlaybackOfTwoPlayers, OneFileGivesIndependentViews) {
    const auto file = movieFor(recipeOf(Codec::Mpeg4BFrames, 30));
    TGKitMSPlay first;
    TGKitMSPlay second;
    openPaused(first, file);
    openPaused(second, file);
    first.Play();
    playertest::ticks(first, 5);
    EXPECT_EQ(second.Position(), 0);
    EXPECT_FALSE(second.Playing());

    ASSERT_TRUE(second.CopyToClipboard(25));
    second.Play();
    second.Tick();
    first.Tick();
    EXPECT_EQ(frameNumberOf(first.picture()), 6);
    EXPECT_EQ(frameNumberOf(second.picture()), 1);

    first.Stop();
    EXPECT_TRUE(second.Playing());
    EXPECT_EQ(second.Position(), 1);
}

// A damaged frame in a playing movie: the picture before it stays, playback goes on past it,
// and no message box comes from the timer.
TEST(PlaybackFailure, ADamagedFrameKeepsThePictureBeforeItAndPlaybackGoesOn) {
    const auto file = playertest::scratchFolder() / "bad5.avi";
    testmedia::writeGarbledFrame(file, 12, 5);
    platform::ServiceRecorder recorder;
    TGKitMSPlay player;
    openPaused(player, file);
    player.Play();
    playertest::ticks(player, 5);
    EXPECT_EQ(player.Position(), 5);
    EXPECT_EQ(frameNumberOf(player.picture()), 4);
    EXPECT_TRUE(player.Playing());
    player.Tick();
    EXPECT_EQ(frameNumberOf(player.picture()), 6);
    EXPECT_TRUE(recorder.messages.empty()) << recorder.messageTexts().join('\n').toStdString();
}

// The file loses its tail while the movie is open: later frames cannot be read any more. The
// movie is large enough that the reader's buffer does not hold it whole. Without Loop the
// player runs to the end on its last good picture and stops there without a word.
TEST(PlaybackFailure, AFileCutWhileOpenPlaysToTheEndQuietly) {
    const auto file =
        playertest::copyOf(movieFor(recipeOf(Codec::Mjpeg, 30, 320, 240)), "cut-while-open.avi");
    platform::ServiceRecorder recorder;
    TGKitMSPlay player;
    player.setLoop(false);
    openPaused(player, file);
    std::filesystem::resize_file(file, std::filesystem::file_size(file) / 4);

    player.Play();
    for (int i = 0; i < 40 && player.Playing(); ++i)
        player.Tick();
    EXPECT_FALSE(player.Playing());
    EXPECT_EQ(player.Position(), player.Length());
    const int lastGood = frameNumberOf(player.picture());
    EXPECT_GE(lastGood, 0);
    EXPECT_LT(lastGood, player.Length());
    EXPECT_TRUE(recorder.messages.empty()) << recorder.messageTexts().join('\n').toStdString();
}

// Starting over needs frame 0. When it cannot be decoded, Play answers false like every other
// failing command instead of raising into its caller (Convert's last step plays).
TEST(PlaybackFailure, PlayThatCannotStartOverAnswersFalse) {
    const auto file = playertest::scratchFolder() / "first-frame-garbled.avi";
    testmedia::writeGarbledFrame(file, 6, 0);
    platform::ServiceRecorder recorder;
    TGKitMSPlay player;
    player.setLoop(false);
    openPaused(player, file);
    player.Play();
    for (int i = 0; i < 10 && player.Playing(); ++i)
        player.Tick();
    ASSERT_EQ(player.Position(), player.Length());

    bool played = true;
    EXPECT_NO_THROW(played = player.Play());
    EXPECT_FALSE(played);
    EXPECT_FALSE(player.Playing());
    EXPECT_EQ(player.Position(), player.Length());
    EXPECT_TRUE(recorder.messages.empty());
}

void click(QWidget* target, Qt::MouseButton button) {
    const QPoint at(10, 10);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), QPointF(target->mapToGlobal(at)),
                      button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), QPointF(target->mapToGlobal(at)),
                        button, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
}

TEST(PlayerClick, LeftClickFiresOnClick) {
    TGKitMSPlay player;
    int clicks = 0;
    player.setOnClick([&] { ++clicks; });
    click(&player, Qt::RightButton);
    EXPECT_EQ(clicks, 0);
    click(&player, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

} // namespace
