#include "cli/ExtractJobs.h"

#include "cli/MovieTask.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <string>
#include <thread>

namespace cli {

namespace {

struct WorkItem {
    MovieTask* task;
    PlanPiece piece;
};

// About this many pieces a job over the whole run, so one movie that is slow to decode does
// not leave the other jobs idle at the end; several movies share them out.
constexpr int piecesPerJob = 4;

std::vector<WorkItem> cutIntoPieces(const std::vector<MovieTask*>& tasks, int jobs) {
    std::vector<WorkItem> items;
    if (tasks.empty())
        return items;
    const int movies = static_cast<int>(tasks.size());
    const int pieces = jobs > 1 ? std::max(1, (jobs * piecesPerJob + movies - 1) / movies) : 1;
    for (MovieTask* task : tasks)
        for (const PlanPiece& piece :
             splitAtKeyFrames(task->plan().frames(), task->keyFrames(), pieces))
            items.push_back({task, piece});
    return items;
}

} // namespace

void runExtractJobs(std::vector<MovieTask*> tasks, int jobs, ExtractSettings settings,
                    RunLog& log) {
    const std::vector<WorkItem> items = cutIntoPieces(tasks, jobs);
    if (items.empty())
        return;
    const int workers = std::min<int>(jobs, static_cast<int>(items.size()));
    const int cores = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    settings.coresPerJob = std::max(1, cores / workers);
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        Extractor extractor(settings, log);
        for (std::size_t item = next++; item < items.size(); item = next++) {
            const WorkItem& work = items[item];
            try {
                extractor.run(*work.task, work.piece);
            } catch (const std::exception& e) {
                const std::int32_t first =
                    work.task->plan().frame(static_cast<std::int32_t>(work.piece.begin));
                work.task->fail(first, work.task->name() + ": frame " + std::to_string(first) +
                                           ": " + e.what());
            }
        }
    };
    std::vector<std::jthread> threads;
    for (int i = 1; i < workers; ++i)
        threads.emplace_back(work);
    work();
}

} // namespace cli
