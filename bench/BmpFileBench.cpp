#include "core/BgrImage.h"
#include "core/BmpWriter.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Files stay until the program ends, emptied: ext4 without a journal searches past every inode
// freed in the last half minute for each file it creates, which would time the deletions.
class ScratchFolders {
public:
    ScratchFolders()
        : root_(fs::temp_directory_path() / ("kirimo-bmp-bench-" + std::to_string(::getpid()))) {}
    ~ScratchFolders() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    fs::path fresh() {
        const fs::path folder = root_ / std::to_string(count_++);
        fs::create_directories(folder);
        return folder;
    }

private:
    fs::path root_;
    int count_ = 0;
};

ScratchFolders scratch;

// Writes 640x480 bitmap files, each a new file in a fresh folder as a run makes them, from a
// picture stored top first (its rows go out one by one) or bottom first (one run of bytes).
// CPU time includes the system's: creating the file and copying into the page cache. Run it
// with --benchmark_enable_random_interleaving=true, so neither layout always meets the other's
// write-back, and not within half a minute of deleting many files.
void bmpFiles(benchmark::State& state) {
    core::BgrImage picture = core::BgrImage::blank(640, 480);
    picture.bottomFirst = state.range(0) != 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width * 3; ++x)
            picture.row(y)[x] = static_cast<std::uint8_t>(x + y);
    const fs::path folder = scratch.fresh();
    int n = 0;
    for (auto _ : state)
        core::writeBmpFile(folder / ("f" + std::to_string(n++) + ".bmp"), picture);
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(picture.bytes.size()));
    for (const fs::directory_entry& file : fs::directory_iterator(folder))
        fs::resize_file(file.path(), 0);
}

} // namespace

BENCHMARK(bmpFiles)
    ->Name("bmp_files/640x480")
    ->ArgName("bottom_first")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(300) // a few hundred MB: more and the system's write-back throttles the run
    ->Repetitions(9)
    ->ReportAggregatesOnly()
    ->Unit(benchmark::kMicrosecond);
