// fx08_math.cpp - fx08's points, strips and rings.
#include "scenes/fx08_math.h"

#include <algorithm>
#include <cmath>

#include "core/crt_rand.h"

namespace crt = velunar::crt;

void InitRisingPoints(POINTVERTEX* points, POINTVERTEX* base, float* riseStart, int count) {
    for (int i = 0; i < count; ++i) {
        const int r1 = crt::rand(), r2 = crt::rand(), r3 = crt::rand(), r4 = crt::rand();
        POINTVERTEX& p = points[i];
        p.x = static_cast<float>(r3 % 200 - 100);
        p.y = static_cast<float>(r2 % 4000 - 3000);
        p.z = static_cast<float>(r1 % 200 - 100);
        p.color = 0x7FFFFFFFu;
        // Replaced before the first draw; drawn all the same, so later points keep their places.
        p.size = static_cast<float>(r4 % 1000) * 0.001f;
        base[i] = p;
        riseStart[i] = 0.0f;
    }
}

bool Fx08PointsShown(float t) { return t > kFx08RiseFrom; }

float Fx08RingDegrees(int ring, float t) {
    static constexpr float kRate[3] = {30.0f, 50.0f, 70.0f};
    return kRate[ring] * t;
}

float Fx08StripLevel(float t) {
    float a = static_cast<float>(std::min(0.2 * (t - 109.665), 0.7));
    if (t >= 126.0) a = static_cast<float>(std::max(0.0, (2.0 - (t - 126.0)) * 0.5 - 0.3));
    return a;
}

std::uint32_t Fx08StripAlpha(float t) {
    // In double: 0.7f x 200 is 139.99999..., which a float product would round up to 140.
    return static_cast<std::uint32_t>(Fx08StripLevel(t) * 200.0);
}

float Fx08PointLevel(float t) { return std::min((t - kFx08RiseFrom) / 7.0f, 0.5f); }

std::uint32_t Fx08PointColour(float t) {
    const auto alpha = static_cast<std::uint32_t>(static_cast<int>(255.0f * Fx08PointLevel(t)));
    return (alpha << 24) | 0x00FFFFFFu;
}

void RisePoints(POINTVERTEX* points, const POINTVERTEX* base, float* riseStart, int count, float t) {
    const float level = Fx08PointLevel(t);
    const std::uint32_t colour = Fx08PointColour(t);
    for (int i = 0; i < count; ++i) {
        POINTVERTEX& p = points[i];
        p.color = colour;
        p.size = level;
        if (riseStart[i] == 0.0f) riseStart[i] = t;
        p.y = base[i].y + 100.0f * (t - riseStart[i]);
        if (p.y > kFx08RiseTop) riseStart[i] = t;
    }
}
