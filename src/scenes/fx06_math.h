// fx06_math.h - fx06's arithmetic: the credits' level and placements, the closing band, the last fade.
// Depends on: nothing.
#pragma once

#include <cstdint>

// Credit level k: 1 before 155 s, falling to 0 at 160 s, then 0.
float Fx06CreditLevel(float t);
// The closing band's alpha byte: fades in 155-160 s, opaque to 165 s, fades out to 170 s; at 170 s
// itself, the show's last instant, it stays gone rather than coming back opaque.
std::uint32_t Fx06BandAlpha(float t);
// The time at which fx06's fade to black (165 s, 5 s) is drawn: t itself, except that 170 s, where
// the half-open fade would draw nothing and let the picture flash back, counts as just before it.
float Fx06FadeTime(float t);

// One credit: from this time on its texture's upper or lower half is drawn centred at (x, y).
struct CreditPlacement {
    float from;
    const char* texture;
    float x, y;
    bool lower;
};
constexpr int kFx06Credits = 7;
extern const CreditPlacement g_aFx06Credits[kFx06Credits];
// How many credits are showing at t (they appear in table order).
int Fx06CreditsShown(float t);
