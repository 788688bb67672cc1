#pragma once

#include <cstdint>
#include <string>

namespace cli {

// The memory a run holds in pictures, weighed before it starts: each job keeps pictures of the
// size written in flight to its writer, the one being made, and the resampler's work.
class PictureMemory {
public:
    // Above this a job is said to hold much.
    static constexpr std::int64_t muchPerJob = std::int64_t{300} << 20;

    // Bytes one job holds for pictures of `area` pixels.
    static std::int64_t perJob(std::int64_t area);
    // The machine's memory in bytes; 0 when unknown.
    static std::int64_t installed();
    // Throws UsageError when `jobs` jobs of pictures of `area` pixels cannot fit in `memory`
    // (0: unknown, anything fits); else the warning to give, or "" for a job that holds little.
    static std::string check(std::int64_t area, int jobs, std::int64_t memory);
};

} // namespace cli
