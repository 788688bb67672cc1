#include "framework/Timer.h"

#include "platform/ServiceRecorder.h"

#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

struct RunCase {
    bool enabled;
    int interval;
    bool handler;
    bool running;
};

class TimerRunTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(TimerRunTest, TicksOnlyWhenEnabledWithAnIntervalAndAHandler) {
    TTimer timer;
    timer.setEnabled(GetParam().enabled);
    timer.setInterval(GetParam().interval);
    if (GetParam().handler)
        timer.setOnTimer([] {});
    EXPECT_EQ(timer.isRunning(), GetParam().running);
}

INSTANTIATE_TEST_SUITE_P(Settings, TimerRunTest,
                         ::testing::Values(RunCase{true, 200, true, true},
                                           RunCase{false, 200, true, false},
                                           RunCase{true, 0, true, false},
                                           RunCase{true, -5, true, false},
                                           RunCase{true, 200, false, false}));

// Waits (without any time limit being part of the test) until the handler has run n times.
int runTicks(TTimer& timer, int n, const std::function<void(int)>& onTick) {
    int ticks = 0;
    QEventLoop loop;
    timer.setOnTimer([&] {
        ++ticks;
        if (ticks == n)
            loop.quit();
        onTick(ticks);
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit); // a hung timer fails, not hangs
    loop.exec();
    timer.setOnTimer({});
    return ticks;
}

TEST(Timer, EachTickRunsTheHandler) {
    TTimer timer;
    timer.setInterval(1);
    EXPECT_EQ(runTicks(timer, 3, [](int) {}), 3);
}

TEST(Timer, HandlerExceptionIsReportedAndTheTimerKeepsTicking) {
    platform::ServiceRecorder recorder;
    TTimer timer;
    timer.setInterval(1);
    const int ticks = runTicks(timer, 2, [](int tick) {
        if (tick == 1)
            throw std::runtime_error("タイマー");
    });
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(recorder.messageTexts(), QStringList{QStringLiteral("タイマー.")});
}

TEST(Timer, BindsOnTimerByName) {
    TTimer timer;
    EXPECT_TRUE(timer.bindEvent(QStringLiteral("OnTimer"), [] {}));
    EXPECT_TRUE(timer.isRunning());
    EXPECT_FALSE(timer.bindEvent(QStringLiteral("OnClick"), [] {}));
}

// A running timer set from an hour to 1 ms ticks at once; kept at the hour it would not tick
// before runTicks gives up.
TEST(Timer, ANewIntervalAppliesToARunningTimer) {
    TTimer timer;
    timer.setInterval(3'600'000);
    timer.setOnTimer([] {});
    ASSERT_TRUE(timer.isRunning());
    QTimer::singleShot(0, [&] { timer.setInterval(1); });
    EXPECT_EQ(runTicks(timer, 1, [](int) {}), 1);
}

} // namespace
