#include "BenchMovies.h"
#include "core/BgrImage.h"
#include "media/Movie.h"

#include <benchmark/benchmark.h>

namespace {

// Holding a spin button: every step fetches the neighbouring frame's picture, deep inside a long
// group of pictures (key frames 300 apart). Items per second are steps per second.
constexpr const char* kind = "h264_720_gop300";
constexpr int highest = 299; // the last frame before the second key frame
constexpr int lowest = 200;

void stepDown(benchmark::State& state) {
    media::Movie movie(bench::benchMovie(kind));
    core::BgrImage picture;
    movie.frameInto(highest, picture);
    int n = highest;
    for (auto _ : state) {
        if (n == lowest) {
            state.PauseTiming();
            n = highest;
            movie.frameInto(n, picture);
            state.ResumeTiming();
        }
        movie.frameInto(--n, picture);
        benchmark::DoNotOptimize(picture.bytes.data());
    }
    state.SetItemsProcessed(state.iterations());
}

void stepUp(benchmark::State& state) {
    media::Movie movie(bench::benchMovie(kind));
    core::BgrImage picture;
    movie.frameInto(lowest, picture);
    int n = lowest;
    for (auto _ : state) {
        if (n == highest) {
            state.PauseTiming();
            n = lowest;
            movie.frameInto(n, picture);
            state.ResumeTiming();
        }
        movie.frameInto(++n, picture);
        benchmark::DoNotOptimize(picture.bytes.data());
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(stepDown)
    ->Name("step_down/h264_720_gop300")
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(stepUp)->Name("step_up/h264_720_gop300")->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
