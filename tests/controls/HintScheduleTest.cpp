#include "controls/HintSchedule.h"

#include <gtest/gtest.h>

namespace {

using Action = HintSchedule::Action;

// Two controls; only their identity matters.
QWidget* const kStart = reinterpret_cast<QWidget*>(0x10);
QWidget* const kEnd = reinterpret_cast<QWidget*>(0x20);

TEST(HintSchedule, TheWaitRunsFromArrivalAndATimedOutHintStaysAwayOnItsControl) {
    HintSchedule schedule;
    schedule.pointerOver(kStart, 1000);
    // Moving about inside the control does not put the hint off.
    EXPECT_EQ(schedule.pointerOver(kStart, 1300), Action::None);
    EXPECT_EQ(schedule.elapse(1500), Action::Show);
    EXPECT_EQ(schedule.elapse(4000), Action::Hide);

    EXPECT_EQ(schedule.pointerOver(kStart, 4100), Action::None);
    EXPECT_FALSE(schedule.deadline().has_value());
    EXPECT_EQ(schedule.elapse(9000), Action::None);
}

TEST(HintSchedule, AnotherControlWhileAHintShowsShowsItsHintAtOnce) {
    HintSchedule schedule;
    schedule.pointerOver(kStart, 0);
    schedule.elapse(500);
    EXPECT_EQ(schedule.pointerOver(kEnd, 800), Action::Show);
    EXPECT_EQ(schedule.shown(), kEnd);
    EXPECT_EQ(schedule.deadline(), 3300);

    // A place without a hint hides it; the next control waits its full half second again.
    EXPECT_EQ(schedule.pointerOver(nullptr, 900), Action::Hide);
    EXPECT_EQ(schedule.pointerOver(kStart, 1000), Action::None);
    EXPECT_EQ(schedule.elapse(1499), Action::None);
    EXPECT_EQ(schedule.elapse(1500), Action::Show);
}

TEST(HintSchedule, KeyOrButtonHidesAndTheNextMoveWaitsAfresh) {
    HintSchedule schedule;
    schedule.pointerOver(kStart, 0);
    EXPECT_EQ(schedule.cancel(), Action::None); // before showing: the wait ends
    EXPECT_EQ(schedule.elapse(500), Action::None);

    schedule.pointerOver(kStart, 1000);
    schedule.elapse(1500);
    EXPECT_EQ(schedule.cancel(), Action::Hide);
    EXPECT_EQ(schedule.pointerOver(kStart, 1600), Action::None);
    EXPECT_EQ(schedule.deadline(), 2100);
    EXPECT_EQ(schedule.forget(kStart), Action::None);
    EXPECT_EQ(schedule.control(), nullptr);
}

} // namespace
