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

namespace fxmodes {

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
void Tunnel(const Grid& g);
void Radial(const Grid& g, float centreX, float centreY, double radius);
void BentTunnel(const Grid& g);
void Inversion(const Grid& g);

// Per-frame modes (write the live array). T = t * speed where a mode scales time.
void Sphere(const Grid& g, const Rotation& rot);
// planeShift is the class-wide shift, set to T * 5 + 20 by the call.
void Planes(const Grid& g, const Rotation& rot, float T, float& planeShift);
void SineWarp(const Grid& g, SineWarpState& s, float T);
void Lens(const Grid& g, float T);
void Waves(const Grid& g, WaveState& w, float t, float speed);
void Cylinder(const Grid& g, const Rotation& rot, float T);

// The rotation fx::Animate writes for angles in degrees about x, y and z.
Rotation RotationFromAngles(float ax, float ay, float az);

// The lens constant of mode 6, shared by every grid and never changed.
constexpr float kLensQ = 2.445430040359497f;

}  // namespace fxmodes
