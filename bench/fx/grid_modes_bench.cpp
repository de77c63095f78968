// CPU cost of each grid generator on the start-up grid (52 x 27 vertices), per call.
#include "fx/grid_modes.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

struct Bench {
    std::vector<FLATVERTEX> v = std::vector<FLATVERTEX>(52 * 27);
    fxmodes::Grid g{800, 400, 16, 52, 27, v.data()};
    fxmodes::Rotation rot = fxmodes::RotationFromAngles(10, 20, 30);
    fxmodes::SineWarpState sine;
    fxmodes::WaveState wave;
    float shift = 0;
    Bench() { fxmodes::InitSineTables(sine); }
};

#define GRID_BENCH(name, call)                                     \
    void BM_##name(benchmark::State& state) {                      \
        Bench b;                                                   \
        float t = 0;                                               \
        for (auto _ : state) {                                     \
            call;                                                  \
            t += 16.0f;                                            \
            benchmark::DoNotOptimize(b.v.data());                  \
        }                                                          \
    }                                                              \
    BENCHMARK(BM_##name)

GRID_BENCH(Tunnel, fxmodes::Tunnel(b.g));
GRID_BENCH(Sphere, fxmodes::Sphere(b.g, b.rot));
GRID_BENCH(Radial, fxmodes::Radial(b.g, 0, 0, 400.0));
GRID_BENCH(Planes, fxmodes::Planes(b.g, b.rot, t, b.shift));
GRID_BENCH(BentTunnel, fxmodes::BentTunnel(b.g));
GRID_BENCH(SineWarp, fxmodes::SineWarp(b.g, b.sine, t));
GRID_BENCH(Lens, fxmodes::Lens(b.g, t));
GRID_BENCH(Waves, fxmodes::Waves(b.g, b.wave, t, 1.0f));
GRID_BENCH(Inversion, fxmodes::Inversion(b.g));
GRID_BENCH(Cylinder, fxmodes::Cylinder(b.g, b.rot, t));

}  // namespace
