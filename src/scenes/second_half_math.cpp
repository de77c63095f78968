#include "scenes/second_half_math.h"

#include <algorithm>
#include <cmath>

#include "core/crt_rand.h"

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

float Fx06CreditLevel(float t) {
    if (t < 155.0f) return 1.0f;
    if (t < 160.0f) return (5.0f - (t - 155.0f)) * 0.2f;
    return 0.0f;
}

std::uint32_t Fx06BandAlpha(float t) {
    const float g = t >= 170.0f ? 1.0f : t >= 165.0f ? (t - 165.0f) * 0.2f : Fx06CreditLevel(t);
    return static_cast<std::uint32_t>((1.0f - g) * 255.0f);
}

float Fx06FadeTime(float t) { return std::min(t, std::nextafter(170.0f, 0.0f)); }

// Upper halves are rows 0-127 of a credit texture, lower halves rows 128-255.
const CreditPlacement g_aFx06Credits[kFx06Credits] = {
    {151.46f, "cre1", 128.0f, 150.0f, false},  {151.555f, "cre2", 95.0f, 250.0f, false},
    {151.648f, "cre1", 100.0f, 350.0f, true},  {151.736f, "cre2", 138.0f, 430.0f, true},
    {151.83f, "cre3", 660.0f, 170.0f, false},  {151.923f, "cre4", 695.0f, 225.0f, false},
    {152.013f, "cre4", 675.0f, 355.0f, true},
};

int Fx06CreditsShown(float t) {
    int n = 0;
    for (const CreditPlacement& c : g_aFx06Credits) n += t >= c.from;
    return n;
}
