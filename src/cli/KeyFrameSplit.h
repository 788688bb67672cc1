#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace cli {

// A stretch of a frame plan, [begin, end) as indices into it.
struct PlanPiece {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// Cuts an ascending frame plan into at most about `pieces` stretches of similar length, each
// starting where decoding can start afresh: its first frame's key frame lies after the previous
// stretch's last frame, so no two stretches decode the same pictures. `keyFrames` ascending.
std::vector<PlanPiece> splitAtKeyFrames(const std::vector<std::int32_t>& plan,
                                        const std::vector<std::int32_t>& keyFrames, int pieces);

} // namespace cli
