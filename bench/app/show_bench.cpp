// Whole-show costs on the virtual clock: start-up to the first frame, and one frame tick per scene
// with rasterising switched off, which leaves our own CPU work (state, grids, meshes, fades).
#include "platform/d3d8/d3d8_ext.h"

#include "headless_show.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

namespace {

using velunar::bench::Tick;

// One frame tick at a demo time, frames 1/60 s apart.
void BM_FrameTick(benchmark::State& state) {
    const bool draw = state.range(1) != 0;
    D3D8_SetSkipDraws(!draw);
    const DWORD start = static_cast<DWORD>((state.range(0) + 5) * 1000);
    // Stay within one second of the scene, so every tick draws that scene.
    for (DWORD n = 0; auto _ : state) {
        Tick(start + (n++ % 60) * 1000 / 60);
    }
    D3D8_SetSkipDraws(false);
}
// Demo seconds: intro, fx01, fx02, fx09, fx10; the second argument 1 would rasterise as well.
BENCHMARK(BM_FrameTick)->Args({-3, 0})->Args({10, 0})->Args({36, 0})->Args({46, 0})->Args({50, 0})->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    const auto t0 = std::chrono::steady_clock::now();
    if (!velunar::bench::OpenHeadless() || !velunar::bench::StartShow()) return 1;
    const double startup = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("start-up to the first frame: %.3f s\n", startup);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
