// second_half_math.h - the arithmetic of fx07's drifting flares, fx08's logo strips and rising
// points, and fx06's credit levels, kept apart from drawing so it can be checked alone.
// Depends on: the runtime-compatible rand (the inits draw from the start-up sequence).
#pragma once

#include <cstdint>

// ---- fx07 ----

// One drifting flare: base x (pixels, wraps by 810), fixed centre y, speed factor (the flare
// moves 100 x speed pixels per second of demo time).
struct DriftFlare {
    float x;
    float y;
    float speed;
};

constexpr int kFx07Flares = 150;
// Past this drawn x a flare's base goes back by the same amount.
constexpr float kFlareWrap = 810.0f;

// Six rand draws per index, in order: the top flare's x, y, speed, then the bottom flare's.
// Top: x 0..799, y 115..122, speed 0.2..0.893. Bottom: x 0..799, y 457..470, speed 0.2..1.19.
void InitDriftFlares(DriftFlare* top, DriftFlare* bottom, int count);
// Drawn x at u = 100 x t: u x speed + x.
float FlareX(const DriftFlare& f, float u);
// Takes 810 off the base once when the drawn x lies beyond 810 (strictly).
void WrapFlare(DriftFlare& f, float u);

// ---- fx08 ----

// The point-sprite vertex: position, size, ARGB colour. FVF XYZ | PSIZE | DIFFUSE (0x62).
struct POINTVERTEX {
    float x, y, z;
    float size;
    std::uint32_t color;
};
static_assert(sizeof(POINTVERTEX) == 20);
constexpr std::uint32_t D3DFVF_POINTVERTEX = 0x62;

constexpr int kFx08Points = 800;
// The points rise from this demo time on.
constexpr float kFx08RiseFrom = 127.909f;
// A point whose height passes this restarts from its base on the next frame.
constexpr float kFx08RiseTop = 200.0f;

// Four rand draws per point (r1 ... r4): x = r3 % 200 - 100, y = r2 % 4000 - 3000,
// z = r1 % 200 - 100, size (r4 % 1000) x 0.001, colour 0x7FFFFFFF; base is a copy, every rise
// start 0 (not started).
void InitRisingPoints(POINTVERTEX* points, POINTVERTEX* base, float* riseStart, int count);
// The points are drawn only after 127.909 s.
bool Fx08PointsShown(float t);
// Ring r's (0 ... 2, top to bottom) turn about the vertical axis in degrees at t: 30, 50 and 70
// degrees per second, never wrapped.
float Fx08RingDegrees(int ring, float t);
// Logo strip level: rises 0.2 per second from 109.665 s to 0.7, falls from 126 s to 0 at 127.4 s.
float Fx08StripLevel(float t);
// The strips' vertex alpha: level x 200 truncated, so 0 ... 139 (0.7 as a float is just under).
std::uint32_t Fx08StripAlpha(float t);
// Opacity and size of the rising points: (t - 127.909) / 7, at most 0.5.
float Fx08PointLevel(float t);
// White with alpha 255 x level truncated: 127 from 131.409 s on.
std::uint32_t Fx08PointColour(float t);
// One frame of the rise (only for t > 127.909): colour and size from the level; a point not yet
// started starts at t; y = base y + 100 x (t - start); past 200 the start becomes t, so the point
// shows at its new height now and begins again from its base next frame.
void RisePoints(POINTVERTEX* points, const POINTVERTEX* base, float* riseStart, int count, float t);

// ---- fx06 ----

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
