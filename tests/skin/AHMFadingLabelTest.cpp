#include "skin/AHMFadingLabel.h"

#include "SkinTestSupport.h"
#include "framework/Timer.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

// Never ticks by itself during a test: the steps are driven by calling the handler.
constexpr int kNoTicks = 1 << 30;

// Configured as the main window's frame-count label, after its form has loaded.
TAHMFadingLabel* countLabel(TPanel& host) {
    auto* label = new TAHMFadingLabel(&host);
    label->setFadeSpeed(kNoTicks);
    label->setAutoSize(false);
    label->setBounds(0, 0, 104, 11);
    label->setAlignment(taCenter);
    label->Font().setColor(clWhite);
    label->Font().setHeight(-11);
    label->setCaption(QStringLiteral("全0ﾌﾚｰﾑ"));
    label->setShowing(false);
    label->setFade(true);
    label->setBetweenColors(32);
    label->setFadeAlltheTime(true);
    return label;
}

struct LevelCase {
    int step;
    int level;
};

class AHMFadingLabelLevels : public ::testing::TestWithParam<LevelCase> {};

TEST_P(AHMFadingLabelLevels, WhiteOnBlackGreyLevelPerStep) {
    const LevelCase& c = GetParam();
    EXPECT_EQ(TAHMFadingLabel::colorAtStep(clBlack, clWhite, c.step, 32),
              platform::rgb(c.level, c.level, c.level));
}

INSTANTIATE_TEST_SUITE_P(Steps, AHMFadingLabelLevels,
                         ::testing::Values(LevelCase{1, 8}, LevelCase{2, 16}, LevelCase{3, 25},
                                           LevelCase{4, 33}, LevelCase{7, 58}, LevelCase{29, 239},
                                           LevelCase{30, 247}, LevelCase{31, 255},
                                           // One past the end overshoots and wraps.
                                           LevelCase{33, 15}, LevelCase{32, 7}));

TEST(AHMFadingLabel, OneStepOfBetweenColorsOneWrapsBelowTheBackground) {
    // The divisor is zero: the product is -1, so every channel is the background's minus one.
    EXPECT_EQ(TAHMFadingLabel::colorAtStep(clBlack, clWhite, 5, 1), clWhite);
}

TEST(AHMFadingLabel, LoadingOrderLeavesTheStepAtZeroFadingIn) {
    auto host = makeHost(104, 11, clBlack);
    auto* label = countLabel(*host);
    EXPECT_EQ(label->step(), 0);
    EXPECT_TRUE(label->fadingIn());
}

TEST(AHMFadingLabel, PulsesOneThroughThirtyOneAndBackInSixtyTicks) {
    auto host = makeHost(104, 11, clBlack);
    auto* label = countLabel(*host);
    int shown = 0;
    int hidden = 0;
    label->setOnTotallyVisible([&] { ++shown; });
    label->setOnNotVisible([&] { ++hidden; });
    label->FadeStep();
    ASSERT_EQ(label->step(), 1);
    int highest = 0;
    for (int tick = 0; tick < 60; ++tick) {
        label->FadeStep();
        highest = std::max(highest, label->step());
        EXPECT_GE(label->step(), 1);
    }
    EXPECT_EQ(highest, 31);
    EXPECT_EQ(label->step(), 1);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(hidden, 2); // the start and the end of the cycle
    EXPECT_EQ(label->fadeColor(), platform::rgb(8, 8, 8));
}

TEST(AHMFadingLabel, WithoutFadeAllTheTimeStopsAtEachEndReached) {
    auto host = makeHost(104, 11, clBlack);
    auto* label = countLabel(*host);
    label->setFadeAlltheTime(false);
    auto* timer = label->findChild<TTimer*>();
    ASSERT_NE(timer, nullptr);
    int shown = 0;
    int hidden = 0;
    label->setOnTotallyVisible([&] { ++shown; });
    label->setOnNotVisible([&] { ++hidden; });
    const auto runWhileFading = [&] {
        for (int tick = 0; tick < 40 && label->Fade(); ++tick)
            label->FadeStep();
    };
    runWhileFading(); // from step 0 the hidden end comes first
    EXPECT_FALSE(label->Fade());
    EXPECT_FALSE(timer->Enabled());
    EXPECT_EQ(label->step(), 1);
    EXPECT_EQ(hidden, 1);

    label->setFade(true); // goes on from where it stopped
    EXPECT_TRUE(timer->Enabled());
    runWhileFading();
    EXPECT_EQ(label->step(), 31);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(hidden, 1);
}

TEST(AHMFadingLabel, TimerFollowsFadeSpeed) {
    TAHMFadingLabel label(nullptr);
    auto* timer = label.findChild<TTimer*>();
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->Interval(), 2);
    EXPECT_TRUE(timer->Enabled());
    label.setFadeSpeed(kNoTicks);
    EXPECT_EQ(timer->Interval(), kNoTicks);
}

TEST(AHMFadingLabel, BetweenColorsOutsideOneTo255IsIgnored) {
    TAHMFadingLabel label(nullptr);
    label.setBetweenColors(0);
    label.setBetweenColors(256);
    EXPECT_EQ(label.BetweenColors(), 16);
    label.setBetweenColors(255);
    EXPECT_EQ(label.BetweenColors(), 255);
}

TEST(AHMFadingLabel, EachStepHandlesPendingEvents) {
    auto host = makeHost(104, 11, clBlack);
    auto* label = countLabel(*host);
    bool handled = false;
    QMetaObject::invokeMethod(
        label, [&] { handled = true; }, Qt::QueuedConnection);
    label->FadeStep();
    EXPECT_TRUE(handled);
}

TEST(AHMFadingLabel, TextIsDrawnInTheFadeColourOnlyWhileEnabled) {
    auto host = makeHost(104, 11, clBlack);
    auto* label = new Counting<TAHMFadingLabel>(host.get());
    label->setFadeSpeed(kNoTicks);
    label->setAutoSize(false);
    label->setBounds(0, 0, 104, 11);
    label->Font().setColor(clWhite);
    label->setCaption(QStringLiteral("0 x 0"));
    label->setBetweenColors(32);
    label->setShowing(false);
    for (int i = 0; i < 4; ++i)
        label->FadeStep(); // step 4
    const QRect area(0, 0, 104, 11);
    const QImage shown = host->renderToImage();
    EXPECT_FALSE(pixelsOf(shown, platform::rgb(33, 33, 33), area).empty());
    EXPECT_EQ(pixelsOf(shown, clBlack, area).size() +
                  pixelsOf(shown, platform::rgb(33, 33, 33), area).size(),
              std::size_t(104 * 11));

    label->setEnabled(false);
    label->resetCounts();
    label->FadeStep(); // keeps stepping, draws nothing
    EXPECT_EQ(label->step(), 5);
    EXPECT_EQ(label->invalidations, 0);
    EXPECT_EQ(pixelsOf(host->renderToImage(), clBlack, area).size(), std::size_t(104 * 11));
}

} // namespace
