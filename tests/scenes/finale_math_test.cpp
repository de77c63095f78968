// The arithmetic of fx07's flares, fx08's strips, rings and rising points, and fx06's credits.
#include "scenes/fx06_math.h"
#include "scenes/fx07_math.h"
#include "scenes/fx08_math.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/crt_rand.h"

namespace crt = velunar::crt;

namespace {

TEST(DriftFlares, RecordsFromTheStartUpSequence) {
    // The runtime generator from seed 1 gives 41, 18467, 6334, 26500, 19169, 15724, 11478, ...
    crt::srand(1);
    std::vector<DriftFlare> top(kFx07Flares), bottom(kFx07Flares);
    InitDriftFlares(top.data(), bottom.data(), kFx07Flares);
    const auto expect = [](const DriftFlare& f, float x, float y, float speed) {
        EXPECT_EQ(f.x, x);
        EXPECT_EQ(f.y, y);
        EXPECT_NEAR(f.speed, speed, 1e-6);
    };
    expect(top[0], 41.0f, 118.0f, 0.438f);
    expect(bottom[0], 100.0f, 467.0f, 0.44f);
    expect(top[1], 278.0f, 121.0f, 0.634f);
    expect(bottom[1], 464.0f, 463.0f, 0.65f);
    for (int i = 0; i < kFx07Flares; ++i) {
        EXPECT_GE(top[i].y, 115.0f);
        EXPECT_LE(top[i].y, 122.0f);
        EXPECT_GE(bottom[i].y, 457.0f);
        EXPECT_LE(bottom[i].y, 470.0f);
        EXPECT_GE(top[i].speed, 0.2f);
        EXPECT_LE(top[i].speed, 0.8931f);
        EXPECT_LE(bottom[i].speed, 1.1901f);
    }
    // Exactly six draws per flare pair: the next scene sees draw 901.
    const int next = crt::rand();
    crt::srand(1);
    for (int i = 0; i < 6 * kFx07Flares; ++i) crt::rand();
    EXPECT_EQ(next, crt::rand());
}

TEST(DriftFlares, SettleInOneWrapPerFrame) {
    // First frame: u = 6398.9; a flare at x = 0 with speed 0.2 is drawn at 1279.78 - 810.
    DriftFlare slow{0.0f, 118.0f, 0.2f};
    const float u = 100.0f * 63.989f;
    WrapFlare(slow, u);
    EXPECT_NEAR(FlareX(slow, u), 469.78f, 1e-2);
    WrapFlare(slow, u);
    EXPECT_NEAR(FlareX(slow, u), 469.78f, 1e-2);  // on screen now: no second wrap

    // Exactly 810 stays; a hair past it wraps.
    DriftFlare edge{810.0f, 118.0f, 0.5f};
    WrapFlare(edge, 0.0f);
    EXPECT_EQ(edge.x, 810.0f);
    edge.x = 810.001f;
    WrapFlare(edge, 0.0f);
    EXPECT_NEAR(edge.x, 0.001f, 1e-3);

    // The fastest top flare needs seven frames of 60 Hz to come back on screen.
    DriftFlare fast{0.0f, 118.0f, 0.893f};
    int frames = 0;
    for (float t = 63.989f; FlareX(fast, 100.0f * t) > kFlareWrap; t += 1.0f / 60.0f) {
        WrapFlare(fast, 100.0f * t);
        ++frames;
    }
    EXPECT_EQ(frames, 7);
}

TEST(Fx08Strips, AlphaRisesTo139AndFallsToZero) {
    EXPECT_EQ(Fx08StripAlpha(109.665f), 0u);
    EXPECT_EQ(Fx08StripAlpha(111.665f), 80u);
    EXPECT_LT(Fx08StripAlpha(113.1f), 139u);
    unsigned highest = 0;
    for (float t = 109.665f; t < 146.221f; t += 0.01f) highest = std::max(highest, Fx08StripAlpha(t));
    EXPECT_EQ(highest, 139u);  // never 140
    for (float t = 113.2f; t <= 126.0f; t += 0.1f) EXPECT_EQ(Fx08StripAlpha(t), 139u) << t;
    EXPECT_EQ(Fx08StripAlpha(126.7f), 70u);
    for (float t = 127.4f; t < 146.221f; t += 0.1f) EXPECT_EQ(Fx08StripAlpha(t), 0u) << t;
}

TEST(Fx08Rings, TurnUnwrappedAtTheirRates) {
    EXPECT_FLOAT_EQ(Fx08RingDegrees(0, 120.0f), 3600.0f);
    EXPECT_FLOAT_EQ(Fx08RingDegrees(1, 120.0f), 6000.0f);
    EXPECT_FLOAT_EQ(Fx08RingDegrees(2, 120.0f), 8400.0f);
}

TEST(Fx08Points, DrawnAfterTheirTimeWithLevelCappedAtAHalf) {
    EXPECT_FALSE(Fx08PointsShown(127.0f));
    EXPECT_FALSE(Fx08PointsShown(127.909f));
    EXPECT_TRUE(Fx08PointsShown(127.91f));
    EXPECT_EQ(Fx08PointColour(129.309f) >> 24, 51u);
    for (float t : {131.409f, 135.0f, 146.2f}) {
        EXPECT_FLOAT_EQ(Fx08PointLevel(t), 0.5f) << t;
        EXPECT_EQ(Fx08PointColour(t), 0x7FFFFFFFu) << t;
    }
}

TEST(Fx08Points, InitDrawsFourPerPointAndRisesRestartAtTheTop) {
    crt::srand(1);
    std::vector<POINTVERTEX> points(2), base(2);
    std::vector<float> start(2, -1.0f);
    InitRisingPoints(points.data(), base.data(), start.data(), 2);
    // r1 = 41, r2 = 18467, r3 = 6334, r4 = 26500.
    EXPECT_EQ(points[0].x, 6334 % 200 - 100.0f);
    EXPECT_EQ(points[0].y, 18467 % 4000 - 3000.0f);
    EXPECT_EQ(points[0].z, 41 % 200 - 100.0f);
    EXPECT_NEAR(points[0].size, 0.5f, 1e-6);
    EXPECT_EQ(points[0].color, 0x7FFFFFFFu);
    EXPECT_EQ(base[1].z, 19169 % 200 - 100.0f);
    EXPECT_EQ(start[0], 0.0f);

    // Point 0 rises from 150, point 1 from far below; 60 frames a second.
    base[0].y = 150.0f;
    base[1].y = -3000.0f;
    std::vector<float> restarts;
    float previousStart = 0.0f;
    for (int n = 0; n < 600; ++n) {
        const float t = 128.0f + n / 60.0f;
        RisePoints(points.data(), base.data(), start.data(), 2, t);
        EXPECT_LE(points[0].y, 200.0f + 100.0f / 60.0f + 0.01f);
        if (n > 0 && start[0] != previousStart) restarts.push_back(t);
        previousStart = start[0];
        if (n == 0) {
            EXPECT_EQ(points[1].y, -3000.0f);
        }
    }
    ASSERT_GE(restarts.size(), 15u);
    for (size_t i = 1; i < restarts.size(); ++i) EXPECT_NEAR(restarts[i] - restarts[i - 1], 0.5f, 1.5f / 60.0f);
    EXPECT_NEAR(points[1].y, -3000.0f + 100.0f * (599.0f / 60.0f), 0.1f);  // never restarted
    EXPECT_EQ(points[1].color, 0x7FFFFFFFu);
    EXPECT_FLOAT_EQ(points[1].size, 0.5f);
}

TEST(Fx06Credits, PopInThenFadeUnderTheClosingBand) {
    EXPECT_EQ(Fx06CreditsShown(151.45f), 0);
    EXPECT_EQ(Fx06CreditsShown(151.6f), 2);
    EXPECT_EQ(Fx06CreditsShown(152.1f), 7);
    EXPECT_EQ(Fx06CreditLevel(152.1f), 1.0f);
    EXPECT_FLOAT_EQ(Fx06CreditLevel(157.5f), 0.5f);
    EXPECT_EQ(Fx06BandAlpha(157.5f), 127u);
    EXPECT_EQ(Fx06BandAlpha(155.0f), 0u);
    for (float t = 160.0f; t < 165.0f; t += 0.25f) {
        EXPECT_EQ(Fx06CreditLevel(t), 0.0f) << t;
        EXPECT_EQ(Fx06BandAlpha(t), 255u) << t;
    }
    EXPECT_EQ(Fx06BandAlpha(167.5f), 127u);
    EXPECT_LE(Fx06BandAlpha(169.99f), 1u);
}

TEST(Fx06Credits, TheLastInstantStaysDark) {
    // At 170 s the band does not come back opaque and the fade to black is still drawn, nearly whole.
    EXPECT_EQ(Fx06BandAlpha(170.0f), 0u);
    EXPECT_LT(Fx06FadeTime(170.0f), 170.0f);
    EXPECT_GT(Fx06FadeTime(170.0f), 169.999f);
    EXPECT_EQ(Fx06FadeTime(167.5f), 167.5f);
}

}  // namespace
