#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace cli {

// "0,10,100-200,500-900/25": single frames, inclusive ranges, ranges with a step, in any order.
class FrameList {
public:
    // Throws UsageError for an empty part, a reversed range, a step below 1 or a bad number.
    static FrameList parse(std::string_view text);

    // The highest frame the list names.
    std::int32_t highest() const;
    // Every listed frame below `movieFrames` once, ascending.
    std::vector<std::int32_t> resolve(std::int32_t movieFrames) const;

private:
    struct Run {
        std::int32_t first = 0;
        std::int32_t last = 0;
        std::int32_t step = 1;
    };

    std::vector<Run> runs_;
};

} // namespace cli
