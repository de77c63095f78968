// scene_kit_math.cpp - the shared music level and the quartered grid alpha.
#include "scenes/scene_kit_math.h"

float SpectrumLevel(const float* spectrum) {
    if (!spectrum) return 0.0f;
    float sum = 0.0f;
    for (int i = 0; i < 64; ++i) sum += spectrum[i];
    return sum * 0.015625f;
}

std::uint32_t QuarterAlphaWhite(std::uint32_t colour) { return ((colour >> 26) << 24) + 0x00FFFFFFu; }
