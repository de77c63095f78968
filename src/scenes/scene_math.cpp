#include "scenes/scene_math.h"

std::uint32_t QuarterAlphaWhite(std::uint32_t colour) { return ((colour >> 26) << 24) + 0x00FFFFFFu; }

float Fx10CameraHeight(float t) {
    float d = (t - 47.972f) * 20.0f;
    if (d > 190.0f) d = 190.0f;
    return 200.1f - d;
}

float SpectrumLevel(const float* spectrum) {
    if (!spectrum) return 0.0f;
    float sum = 0.0f;
    for (int i = 0; i < 64; ++i) sum += spectrum[i];
    return sum * 0.015625f;
}
