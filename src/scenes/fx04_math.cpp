// fx04_math.cpp - fx04's band, foil and stripe values.
#include "scenes/fx04_math.h"

#include <cmath>

#include "math/constants.h"

int Fx04BandAlpha(float level) { return static_cast<int>(350.0f * level + 55.0f); }

float Fx04FoilColour(float level) { return 2.0f * level + 0.2f; }

std::uint32_t Fx04StripeColour(float t) {
    const auto a = static_cast<std::uint32_t>(128.0 * std::fabs(std::sin(0.3 * kPi * t)));
    return (a << 24) | 0x00FFFFFFu;
}
