// fx06_math.cpp - fx06's credit levels, the band's alpha and the credit table.
#include "scenes/fx06_math.h"

#include <algorithm>
#include <cmath>

#include "core/show_clock.h"

namespace {
// The show ends as fx06's fade to black does.
constexpr float kEnd = static_cast<float>(kShowEnd);
}  // namespace

float Fx06CreditLevel(float t) {
    if (t < 155.0f) return 1.0f;
    if (t < 160.0f) return (5.0f - (t - 155.0f)) * 0.2f;
    return 0.0f;
}

std::uint32_t Fx06BandAlpha(float t) {
    const float g = t >= kEnd ? 1.0f : t >= 165.0f ? (t - 165.0f) * 0.2f : Fx06CreditLevel(t);
    return static_cast<std::uint32_t>((1.0f - g) * 255.0f);
}

float Fx06FadeTime(float t) { return std::min(t, std::nextafter(kEnd, 0.0f)); }

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
