// fx08_math.h - fx08's arithmetic: the logo strips, the rings' turn, and the rising points.
// Depends on: the runtime-compatible rand (the init draws from the start-up sequence).
#pragma once

#include <cstdint>

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
