// fx02_math.cpp - fx02's music level.
#include "scenes/fx02_math.h"

float Fx02Level(const float* spectrum) {
    if (!spectrum) return 0.0f;
    float sum = 0.0f;
    for (int i = 0; i < 128; ++i) sum += spectrum[i];
    const float mean = sum * 0.0078125f;
    return mean * mean;
}
