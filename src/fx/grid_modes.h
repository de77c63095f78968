// grid_modes.h - the eleven texture-coordinate generators of the grid effect. Each is a pure
// function of the grid's shape, its parameters and the state it is handed; it writes only the
// vertex array it is given (colours, u and v; never positions).
// Depends on: the screen-space vertex format of the renderer.
#pragma once

#include "math/vertex.h"

// Mode numbers as the scenes pass them to fx::Update.
enum FxMode {
    FX_TUNNEL = 0,
    FX_SPHERE = 1,
    FX_RADIAL = 2,
    FX_PLANES = 3,
    FX_BENT_TUNNEL = 4,
    FX_SINE_WARP = 5,
    FX_LENS = 6,
    FX_WAVES = 7,
    FX_BENT_TUNNEL_B = 8,
    FX_INVERSION = 9,
    FX_CYLINDER = 10,
};

namespace velunar::fxmodes {

// The grid a mode writes into: columns x rows vertices, row-major, cell pixels apart.
struct Grid {
    unsigned width, height, cell, columns, rows;
    FLATVERTEX* vertices;
    FLATVERTEX& At(unsigned r, unsigned c) const { return vertices[r * columns + c]; }
};

// Row-major 3x3 rotation shared by the ray-cast modes; v' = (row0.v, row1.v, row2.v).
struct Rotation {
    float m[9];
};

// Mode 5: two byte sine tables rotated one entry per call, and the phases for the next call.
struct SineWarpState {
    unsigned char sineA[256];
    unsigned char sineB[256];
    int phaseA = 135;
    int phaseB = 35;
};
// sineA[k] = truncate((sin(k * 2pi/256) + 1) * 28), 0..56; sineB a copy.
void InitSineTables(SineWarpState& s);

// Mode 7: the wave values computed by one call for the next.
struct WaveState {
    float phaseX = 0, phaseY = 0, ampX = 0, ampY = 0, sweep = 0;
    float rateSweep = 0.024f, rateX = 0.031f, rateY = -0.019f;
};

// One-shot modes (write the base map).
// Tunnel: u = the angle in 1/256 turns, cut to whole steps, minus its ceiling: -1 < u <= 0;
// v = 8000 x wobble / distance in pixels, in 1/256 steps; opaque white.
void Tunnel(const Grid& g);
// Radial: u = angle about the centre in 1/256 turns (0 ... 256) / 255; v = 240 at the centre falling
// to 0 at radius pixels, truncated, / 255; opaque white.
void Radial(const Grid& g, float centreX, float centreY, double radius);
// BentTunnel: only the vertices a tunnel sample lands on; u, v = its ring and depth in 1/256 steps,
// 0 ... 1; opaque white.
void BentTunnel(const Grid& g);
// Inversion: only the vertices a sample lands on; u, v = the point scaled by 23040 / r^2 (r^2 under
// 5400 taken as 10800 - r^2), in pixels, truncated, / 256; opaque white.
void Inversion(const Grid& g);

// Per-frame modes (write the live array). T = t * speed where a mode scales time.
// Sphere: rays from inside a sphere of radius 456; u = height, v = longitude, each a signed byte
// (truncated, wrapped) / 255, so -128/255 ... 127/255; opaque white.
void Sphere(const Grid& g, const Rotation& rot);
// Planes: rays to the planes y = +-215; u, v = the hit point / 1000, unrounded; alpha = 255 -
// min(distance / 6, 255), truncated; rays parallel to the planes are transparent.
// planeShift is the class-wide shift, set to T * 5 + 20 by the call.
void Planes(const Grid& g, const Rotation& rot, float T, float& planeShift);
// SineWarp: u, v = column / columns and row / rows moved by byte-table entries / 128 (0 ... 56/128);
// both tables rotate one entry per call; colours untouched.
void SineWarp(const Grid& g, SineWarpState& s, float T);
// Lens: u, v = the rotated grid position plus the lens pull, in 1/64 of a texture per vertex;
// alpha = 255 - 8 x min(|12 pull|, 31), truncated, and quartered when below 160.
void Lens(const Grid& g, float T);
// Waves: u, v = the sum of the wave terms in pixels / 256, unrounded, from the values the previous
// call left in w; colours untouched.
void Waves(const Grid& g, WaveState& w, float t, float speed);
// Cylinder: rays inside a cylinder of radius 256; u = |depth + 3T + 20| x 0.6, v = |angle| x 256/pi,
// each truncated, / 256; grey 4 x min(20000 / distance, 63) in every channel and alpha.
void Cylinder(const Grid& g, const Rotation& rot, float T);

// The rotation fx::Animate writes for angles in degrees about x, y and z.
Rotation RotationFromAngles(float ax, float ay, float az);

// The lens constant of mode 6, shared by every grid and never changed.
constexpr float kLensQ = 2.445430040359497f;

}  // namespace velunar::fxmodes
