#include "cli/KeyFrameSplit.h"

#include <algorithm>

namespace cli {

namespace {

// The key frame decoding of `frame` starts from; -1 when none precedes it.
std::int32_t keyFrameOf(std::int32_t frame, const std::vector<std::int32_t>& keyFrames) {
    const auto after = std::upper_bound(keyFrames.begin(), keyFrames.end(), frame);
    return after == keyFrames.begin() ? -1 : *(after - 1);
}

} // namespace

std::vector<PlanPiece> splitAtKeyFrames(const std::vector<std::int32_t>& plan,
                                        const std::vector<std::int32_t>& keyFrames, int pieces) {
    std::vector<PlanPiece> result;
    if (plan.empty())
        return result;
    const std::size_t target =
        std::max<std::size_t>(1, (plan.size() + static_cast<std::size_t>(std::max(pieces, 1)) - 1) /
                                     static_cast<std::size_t>(std::max(pieces, 1)));
    PlanPiece piece;
    for (std::size_t index = 1; index < plan.size(); ++index) {
        const bool longEnough = index - piece.begin >= target;
        if (longEnough && keyFrameOf(plan[index], keyFrames) > plan[index - 1]) {
            piece.end = index;
            result.push_back(piece);
            piece.begin = index;
        }
    }
    piece.end = plan.size();
    result.push_back(piece);
    return result;
}

} // namespace cli
