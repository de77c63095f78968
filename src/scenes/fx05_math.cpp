// fx05_math.cpp - fx05's travelling wave.
#include "scenes/fx05_math.h"

#include <cmath>

#include "math/constants.h"

std::uint32_t Fx05WaveColour(float ms, int index) {
    const int b = static_cast<int>(128.0 * std::fabs(std::sin(0.1 * kPi * (0.01 * ms + index))));
    const auto a = static_cast<std::uint32_t>(1.3 * b);
    return (a << 24) + 0x00FFFFFFu;
}
