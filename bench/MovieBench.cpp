#include "BenchMovies.h"
#include "core/BgrImage.h"
#include "media/Movie.h"

#include <benchmark/benchmark.h>
#include <random>

namespace {

// Each benchmark takes the movie kind as its argument name: see BenchMovies.h.
constexpr const char* kinds[] = {"mjpeg640", "mpeg4_720_gop250", "raw640"};

void frameSequential(benchmark::State& state, const char* kind) {
    media::Movie movie(bench::benchMovie(kind));
    core::BgrImage picture;
    int n = 0;
    for (auto _ : state) {
        movie.frameInto(n, picture);
        benchmark::DoNotOptimize(picture.bytes.data());
        n = (n + 1) % movie.frameCount();
    }
    state.SetItemsProcessed(state.iterations());
}

void frameRandomJumps(benchmark::State& state, const char* kind) {
    media::Movie movie(bench::benchMovie(kind));
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> pick(0, movie.frameCount() - 1);
    for (auto _ : state) {
        const core::BgrImage picture = movie.frame(pick(random));
        benchmark::DoNotOptimize(picture.bytes.data());
    }
    state.SetItemsProcessed(state.iterations());
}

// A thumbnail of the end of a freshly opened movie: open, seek, decode one stretch.
void frameLastOfFreshMovie(benchmark::State& state, const char* kind) {
    const std::filesystem::path& file = bench::benchMovie(kind);
    for (auto _ : state) {
        media::Movie movie(file);
        const core::BgrImage picture = movie.frame(movie.frameCount() - 1);
        benchmark::DoNotOptimize(picture.bytes.data());
    }
}

void frameEveryNth(benchmark::State& state, const char* kind) {
    media::Movie movie(bench::benchMovie(kind));
    core::BgrImage picture;
    const int step = static_cast<int>(state.range(0));
    int n = 0;
    for (auto _ : state) {
        movie.frameInto(n, picture);
        benchmark::DoNotOptimize(picture.bytes.data());
        n += step;
        if (n >= movie.frameCount()) {
            state.PauseTiming();
            n = 0;
            movie.frameInto(n, picture); // rewinding is not what this measures
            n = step;
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations());
}

int registerAll() {
    for (const char* kind : kinds) {
        const std::string suffix = std::string("/") + kind;
        benchmark::RegisterBenchmark(("frame_sequential" + suffix).c_str(), frameSequential, kind)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("frame_random_jumps" + suffix).c_str(), frameRandomJumps,
                                     kind)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("frame_last_fresh_movie" + suffix).c_str(),
                                     frameLastOfFreshMovie, kind)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("frame_every_nth" + suffix).c_str(), frameEveryNth, kind)
            ->Arg(25)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
    }
    return 0;
}

const int registered = registerAll();

} // namespace
