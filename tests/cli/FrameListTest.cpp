#include "cli/FrameList.h"

#include <gtest/gtest.h>

namespace {

// Fails when the highest frame is read from one part only (the last): a frame past the movie's
// end in another part would then be dropped without a word instead of refused.
TEST(FrameList, HighestIsTheLargestFrameOfAnyPart) {
    EXPECT_EQ(cli::FrameList::parse("40,3-9").highest(), 40);
    EXPECT_EQ(cli::FrameList::parse("3-9,0-40/8,12").highest(), 40);
}

} // namespace
