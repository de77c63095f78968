// fx01_math.cpp - the level, the pulse and the band of fx01.
#include "scenes/fx01_math.h"

#include <algorithm>
#include <cmath>

#include "math/constants.h"
#include "scenes/scene_kit_math.h"

int Fx01Level(const float* spectrum) { return static_cast<int>(SpectrumLevel(spectrum) * 255.0f); }

std::uint32_t Fx01PulseColour(float ms, unsigned column, int offset) {
    const double phase = (ms * 0.01 + column + offset) * static_cast<double>(0.1f) * kPi;
    const auto a = static_cast<std::uint32_t>(128.0 * std::fabs(std::sin(phase)));
    return (a << 24) + 0x00FFFFFFu;
}

namespace {
// When the band and the logo appear.
constexpr double kFx01BandStart = 18.301;
}  // namespace

int Fx01BandAlpha(float t) {
    if (t < kFx01BandStart) return 0;
    const double q = (t - kFx01BandStart) * 0.5;
    return static_cast<int>(std::min(q, 0.7) * 255 + 15);
}

double Fx01BandTop(float t) {
    if (t < kFx01BandStart) return 0.0;
    return (t - kFx01BandStart) / 9;
}
