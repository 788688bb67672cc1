#include "cli/KeyFrameSplit.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

std::vector<std::int32_t> framesFrom(std::int32_t first, std::int32_t last, std::int32_t step) {
    std::vector<std::int32_t> frames;
    for (std::int32_t frame = first; frame <= last; frame += step)
        frames.push_back(frame);
    return frames;
}

struct SplitCase {
    const char* name;
    std::vector<std::int32_t> plan;
    std::vector<std::int32_t> keyFrames;
    int pieces;
    std::vector<std::pair<std::size_t, std::size_t>> expected; // [begin, end) of each piece
};

class KeyFrameSplitCases : public testing::TestWithParam<SplitCase> {};

// Files are the same however a plan is cut, so only here does a cut show that makes two jobs
// decode the same pictures, or pieces so uneven that jobs stand idle.
TEST_P(KeyFrameSplitCases, CutsWhereDecodingStartsAfreshIntoSimilarPieces) {
    std::vector<std::pair<std::size_t, std::size_t>> pieces;
    for (const cli::PlanPiece& piece :
         cli::splitAtKeyFrames(GetParam().plan, GetParam().keyFrames, GetParam().pieces))
        pieces.emplace_back(piece.begin, piece.end);
    EXPECT_EQ(pieces, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeyFrameSplitCases,
    testing::Values(
        // Fails on uneven pieces where any frame can start one.
        SplitCase{"intra_only_in_equal_pieces",
                  framesFrom(0, 99, 1),
                  framesFrom(0, 99, 1),
                  4,
                  {{0, 25}, {25, 50}, {50, 75}, {75, 100}}},
        // Fails on a cut inside the one key-frame interval: both jobs would decode from 0.
        SplitCase{"one_interval_stays_whole", framesFrom(0, 99, 1), {0}, 4, {{0, 100}}},
        // Frame 200 decodes from 0 like 100 before it; 300 is the first to start at 250.
        SplitCase{"cut_waits_for_a_new_key_frame",
                  framesFrom(0, 900, 100),
                  framesFrom(0, 750, 250),
                  5,
                  {{0, 3}, {3, 5}, {5, 8}, {8, 10}}}),
    [](const testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

} // namespace
