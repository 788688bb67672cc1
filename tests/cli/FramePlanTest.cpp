#include "cli/FramePlan.h"

#include "cli/ExtractError.h"
#include "cli/UsageError.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

using cli::FramePlan;

constexpr std::int64_t millisecond = 1'000'000;

// `frames` frames at 25 a second, frame n at n/25 s; the header may promise more.
cli::MovieLength steadyMovie(std::int32_t frames, std::int32_t claimedFrames) {
    cli::MovieLength movie{"cut.avi", frames, claimedFrames, {}, 25.0};
    for (std::int32_t frame = 0; frame < frames; ++frame)
        movie.table.push_back({.seconds = frame / 25.0,
                               .ticks = frame,
                               .timeBase = {1, 25},
                               .key = frame % 10 == 0,
                               .packetSize = 100});
    return movie;
}

struct PastTheCut {
    const char* name;
    cli::FrameRange range;
    cli::FrameChoice choice;
    bool movieAtFault; // ExtractError: past the cut; UsageError: past all the header promises
};

class FramePlanPastTheCut : public testing::TestWithParam<PastTheCut> {};

// 20 frames of the 30 promised, ending at 0.8 s. Fails when a time or a listed frame in the
// missing part is taken for a wrong command line, which ends the whole run with nothing written,
// instead of failing this movie alone.
TEST_P(FramePlanPastTheCut, BlamesTheMovieForWhatItLost) {
    const PastTheCut& c = GetParam();
    const std::function<void()> resolve = [&c] {
        FramePlan::resolve(c.range, c.choice, steadyMovie(20, 30));
    };
    if (c.movieAtFault)
        EXPECT_THROW(resolve(), cli::ExtractError);
    else
        EXPECT_THROW(resolve(), cli::UsageError);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FramePlanPastTheCut,
    testing::Values(PastTheCut{"end_time",
                               {.start = std::nullopt, .end = cli::FrameTime{900 * millisecond}},
                               cli::EveryNthFrame{},
                               true},
                    PastTheCut{"start_time",
                               {.start = cli::FrameTime{850 * millisecond}, .end = std::nullopt},
                               cli::KeyFrames{},
                               true},
                    PastTheCut{"time_at", {}, cli::AtTimes{{0, 900 * millisecond}}, true},
                    PastTheCut{"listed_frame", {}, cli::FrameList::parse("3,25"), true},
                    PastTheCut{
                        "listed_frame_past_the_promise", {}, cli::FrameList::parse("3,30"), false}),
    [](const testing::TestParamInfo<PastTheCut>& info) { return std::string(info.param.name); });

// Fails when an end past the movie's is refused, which keeps one command line from covering
// movies of different lengths, or taken without a word; a time asked for with --at is not a
// bound, and past the end stays an error.
TEST(FramePlan, TakesAnEndPastAWholeMovieAsItsLastFrame) {
    const cli::MovieLength movie = steadyMovie(10, 10); // ends at 0.4 s
    const FramePlan byFrame =
        FramePlan::resolve({.start = 2, .end = 50}, cli::EveryNthFrame{3}, movie);
    EXPECT_EQ(byFrame.frames(), (std::vector<std::int32_t>{2, 5, 8}));
    EXPECT_EQ(byFrame.notice(), "'cut.avi': --end 50 is past the end; taking the last frame, 9");
    const FramePlan byTime =
        FramePlan::resolve({.start = std::nullopt, .end = cli::FrameTime{120'000 * millisecond}},
                           cli::KeyFrames{}, movie);
    EXPECT_EQ(byTime.frames(), std::vector<std::int32_t>{0});
    EXPECT_EQ(byTime.notice(),
              "'cut.avi': --end 120.000 s is past the end; taking the last frame, 9");
    EXPECT_EQ(FramePlan::resolve({.start = 2, .end = 9}, cli::EveryNthFrame{}, movie).notice(), "");
    EXPECT_THROW(FramePlan::resolve({}, cli::AtTimes{{401 * millisecond}}, movie), cli::UsageError);
}

// Fails when a narrowed plan reads its times by the new positions rather than the frames':
// the files of shots named by {time} would carry the times of the frames before them.
TEST(FramePlan, NarrowedKeepsEachFramesOwnTime) {
    const FramePlan all = FramePlan::resolve({}, cli::EveryNthFrame{}, steadyMovie(10, 10));
    const FramePlan shots = all.narrowed({3, 7, 12});
    EXPECT_EQ(shots.frames(), (std::vector<std::int32_t>{3, 7}));
    EXPECT_EQ(shots.milliseconds(0), 120);
    EXPECT_EQ(shots.milliseconds(1), 280);
}

} // namespace
