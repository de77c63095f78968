// scene_math.cpp - the scenes' arithmetic: colours, levels from the spectrum, band positions, camera heights.
#include "scenes/scene_math.h"

#include <algorithm>
#include <cmath>

#include "math/constants.h"
#include "scenes/scene_kit_math.h"

float Fx10CameraHeight(float t) {
    float d = (t - 47.972f) * 20.0f;
    if (d > 190.0f) d = 190.0f;
    return 200.1f - d;
}

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

float Fx02Level(const float* spectrum) {
    if (!spectrum) return 0.0f;
    float sum = 0.0f;
    for (int i = 0; i < 128; ++i) sum += spectrum[i];
    const float mean = sum * 0.0078125f;
    return mean * mean;
}

int Fx04BandAlpha(float level) { return static_cast<int>(350.0f * level + 55.0f); }

float Fx04FoilColour(float level) { return 2.0f * level + 0.2f; }

std::uint32_t Fx04StripeColour(float t) {
    const auto a = static_cast<std::uint32_t>(128.0 * std::fabs(std::sin(0.3 * kPi * t)));
    return (a << 24) | 0x00FFFFFFu;
}

std::uint32_t Fx05WaveColour(float ms, int index) {
    const int b = static_cast<int>(128.0 * std::fabs(std::sin(0.1 * kPi * (0.01 * ms + index))));
    const auto a = static_cast<std::uint32_t>(1.3 * b);
    return (a << 24) + 0x00FFFFFFu;
}
