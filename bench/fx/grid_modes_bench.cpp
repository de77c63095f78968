// CPU cost of each grid generator on the start-up grid (52 x 27 vertices), per call.
#include "fx/grid_modes.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

struct Bench {
    std::vector<FLATVERTEX> v = std::vector<FLATVERTEX>(52 * 27);
    velunar::fxmodes::Grid g{800, 400, 16, 52, 27, v.data()};
    velunar::fxmodes::Rotation rot = velunar::fxmodes::RotationFromAngles(10, 20, 30);
    velunar::fxmodes::SineWarpState sine;
    velunar::fxmodes::WaveState wave;
    float shift = 0;
    Bench() { velunar::fxmodes::InitSineTables(sine); }
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

GRID_BENCH(Tunnel, velunar::fxmodes::Tunnel(b.g));
GRID_BENCH(Sphere, velunar::fxmodes::Sphere(b.g, b.rot));
GRID_BENCH(Radial, velunar::fxmodes::Radial(b.g, 0, 0, 400.0));
GRID_BENCH(Planes, velunar::fxmodes::Planes(b.g, b.rot, t, b.shift));
GRID_BENCH(BentTunnel, velunar::fxmodes::BentTunnel(b.g));
GRID_BENCH(SineWarp, velunar::fxmodes::SineWarp(b.g, b.sine, t));
GRID_BENCH(Lens, velunar::fxmodes::Lens(b.g, t));
GRID_BENCH(Waves, velunar::fxmodes::Waves(b.g, b.wave, t, 1.0f));
GRID_BENCH(Inversion, velunar::fxmodes::Inversion(b.g));
GRID_BENCH(Cylinder, velunar::fxmodes::Cylinder(b.g, b.rot, t));

}  // namespace
