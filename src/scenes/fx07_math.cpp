// fx07_math.cpp - fx07's flares: their records, drawn x and wrap.
#include "scenes/fx07_math.h"

#include "core/crt_rand.h"

namespace crt = velunar::crt;

void InitDriftFlares(DriftFlare* top, DriftFlare* bottom, int count) {
    for (int i = 0; i < count; ++i) {
        const int r1 = crt::rand(), r2 = crt::rand(), r3 = crt::rand();
        const int r4 = crt::rand(), r5 = crt::rand(), r6 = crt::rand();
        top[i].x = static_cast<float>(r1 % 800);
        top[i].y = static_cast<float>(115 + r2 % 8);
        top[i].speed = static_cast<float>(r3 % 100) * 0.01f * 0.7f + 0.2f;
        bottom[i].x = static_cast<float>(r4 % 800);
        bottom[i].y = static_cast<float>(470 - r5 % 14);
        bottom[i].speed = static_cast<float>(r6 % 100) * 0.01f + 0.2f;
    }
}

float FlareX(const DriftFlare& f, float u) { return u * f.speed + f.x; }

void WrapFlare(DriftFlare& f, float u) {
    if (FlareX(f, u) > kFlareWrap) f.x -= kFlareWrap;
}
