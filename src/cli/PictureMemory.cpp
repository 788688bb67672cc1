#include "cli/PictureMemory.h"

#include "cli/UsageError.h"

#ifdef _WIN32
#define NOMINMAX
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace cli {

namespace {

// Measured: 15 bytes a pixel a job (--size 4096x4096, six frames: 251 MB), as five 24-bit
// pictures: three in flight, the one being made, the resampler's.
constexpr std::int64_t bytesPerPixel = 15;

std::string jobsText(int jobs) {
    return std::to_string(jobs) + (jobs == 1 ? " job" : " jobs");
}

std::string megabytes(std::int64_t bytes) {
    return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MB";
}

} // namespace

std::int64_t PictureMemory::perJob(std::int64_t area) {
    return area * bytesPerPixel;
}

std::int64_t PictureMemory::installed() {
#ifdef _WIN32
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    return GlobalMemoryStatusEx(&status) ? static_cast<std::int64_t>(status.ullTotalPhys) : 0;
#else
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? std::int64_t{pages} * pageSize : 0;
#endif
}

std::string PictureMemory::check(std::int64_t area, int jobs, std::int64_t memory) {
    const std::int64_t job = perJob(area);
    const std::int64_t run = job * jobs;
    if (memory > 0 && run > memory)
        throw UsageError("the pictures asked for take about " + megabytes(job) + " a job, " +
                         megabytes(run) + " for " + jobsText(jobs) + ": more than this machine's " +
                         megabytes(memory) +
                         " of memory; ask for a smaller --size or fewer --jobs");
    if (job <= muchPerJob)
        return {};
    return "the pictures asked for take about " + megabytes(job) + " of memory a job (" +
           megabytes(run) + " for " + jobsText(jobs) + ")";
}

} // namespace cli
