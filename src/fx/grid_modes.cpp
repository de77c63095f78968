// grid_modes.cpp - the grid effect's texture-coordinate generators. Constants are the ones the
// effect has always used: 40.74366543152521 = 128/pi, 81.48733086305042 = 256/pi.
#include "fx/grid_modes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "math/constants.h"

namespace velunar::fxmodes {
namespace {

constexpr double k128OverPi = 40.74366543152521;
constexpr double k256OverPi = 81.48733086305042;

struct Vec {
    float x, y, z;
};

// Rotate by the shared matrix, then normalise (times 1 / length).
Vec RotateNormalise(const Rotation& rot, Vec v) {
    const float* m = rot.m;
    Vec r{m[0] * v.x + m[1] * v.y + m[2] * v.z, m[3] * v.x + m[4] * v.y + m[5] * v.z,
          m[6] * v.x + m[7] * v.y + m[8] * v.z};
    float inv = 1.0f / std::sqrt(r.x * r.x + r.y * r.y + r.z * r.z);
    return {r.x * inv, r.y * inv, r.z * inv};
}

// Truncation toward zero into a 32-bit signed integer; out-of-range values saturate instead of
// being undefined.
std::int32_t Trunc(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return 2147483647;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<std::int32_t>(v);
}

// The low 8 bits read as a signed byte.
int SignedByte(std::int32_t n) { return static_cast<std::int8_t>(static_cast<std::uint8_t>(n & 0xff)); }

// Signed offset of a grid coordinate from a centre, exact in integers.
int Off(unsigned s, unsigned i, unsigned half) {
    return static_cast<int>(s * i) - static_cast<int>(half);
}

}  // namespace

void InitSineTables(SineWarpState& s) {
    for (int k = 0; k < 256; ++k)
        s.sineA[k] = static_cast<unsigned char>(static_cast<int>((std::sin(k * 0.02454369260617026) + 1.0) * 28.0));
    std::copy(s.sineA, s.sineA + 256, s.sineB);
}

Rotation RotationFromAngles(float ax, float ay, float az) {
    constexpr double kDeg = 0.017453292519943295;
    float sx = static_cast<float>(std::sin(ax * kDeg)), cx = static_cast<float>(std::cos(ax * kDeg));
    float sy = static_cast<float>(std::sin(ay * kDeg)), cy = static_cast<float>(std::cos(ay * kDeg));
    float sz = static_cast<float>(std::sin(az * kDeg)), cz = static_cast<float>(std::cos(az * kDeg));
    return Rotation{{sx * sy * sz + cx * cz, sz * cy, sx * cz - sy * sz * cx,
                     sx * sy * cz - sz * cx, cz * cy, -sy * cz * cx - sx * sz,
                     -sx * cy, sy, cy * cx}};
}

void Tunnel(const Grid& g) {
    const int hw = static_cast<int>(g.width / 2), hh = static_cast<int>(g.height / 2);
    const float k = static_cast<float>(std::cos(6.283185307179586) * std::sin(11.68672467135403) * 0.30000000000000004);
    for (unsigned r = 0; r < g.rows; ++r) {
        for (unsigned c = 0; c < g.columns; ++c) {
            double dx = (static_cast<int>(c * g.cell) - hw) - 20.5;
            double dy = (static_cast<int>(r * g.cell) - hh) - 12.5;
            double angle = std::atan2(dx, dy);
            // q: the angle in 1/256 turns, offset and in 4096ths.
            float q = static_cast<float>((angle * k128OverPi + 1228.0) * 4096.0);
            std::int32_t n = Trunc(q) >> 11;
            double e = n / 256.0;
            double dist = std::sqrt(dx * dx + dy * dy);
            double w = std::sin(q * 0.00001917476 + 31.0) * k + 1.0;
            std::int32_t m = Trunc((4096.0 / dist) * w * 4000.0) >> 11;
            FLATVERTEX& v = g.At(r, c);
            v.u = static_cast<float>(e - std::ceil(e));
            v.v = static_cast<float>(m / 256.0);
            v.color = 0xFFFFFFFFu;
        }
    }
}

void Sphere(const Grid& g, const Rotation& rot) {
    for (unsigned r = 0; r < g.rows; ++r) {
        for (unsigned c = 0; c < g.columns; ++c) {
            Vec d{static_cast<float>((static_cast<int>(g.cell * c) - 128) * 0.008333333333333333),
                  static_cast<float>((static_cast<int>(g.cell * r) - 128) * 0.008333333333333333 - 0.04), 1.7f};
            d = RotateNormalise(rot, d);
            double m = d.x * d.x + d.y * d.y + d.z * d.z;
            double root = std::sqrt(4.0 * 456.0 * 456.0 * m);
            double dd = root / (2.0 * m);
            if (!(dd > 0)) dd = -root / (2.0 * m);
            double hx = dd * d.x, hy = dd * d.y, hz = dd * d.z;
            FLATVERTEX& v = g.At(r, c);
            v.u = static_cast<float>(SignedByte(Trunc(hz * 0.001 * 255.0)) / 255.0);
            v.v = static_cast<float>(SignedByte(Trunc(std::atan2(hy, hx) * k256OverPi * 0.01 * 255.0)) / 255.0);
            v.color = 0xFFFFFFFFu;
        }
    }
}

void Radial(const Grid& g, float centreX, float centreY, double radius) {
    const int hw = static_cast<int>(g.width / 2), hh = static_cast<int>(g.height / 2);
    for (unsigned r = 0; r < g.rows; ++r) {
        for (unsigned c = 0; c < g.columns; ++c) {
            std::int32_t X = Trunc(static_cast<double>(static_cast<int>(c * g.cell) - hw - 160) - centreX);
            std::int32_t Y = Trunc(static_cast<double>(static_cast<int>(r * g.cell) - hh) - centreY);
            std::int64_t sq = static_cast<std::int64_t>(X) * X + static_cast<std::int64_t>(Y) * Y;
            std::int32_t D = Trunc(240.0 - std::sqrt(static_cast<double>(sq)) / radius * 240.0);
            if (X == 0 && Y == 0) X = 1;
            std::int32_t A = Trunc(std::atan2(static_cast<double>(X), static_cast<double>(Y)) * k128OverPi + 128.0);
            FLATVERTEX& v = g.At(r, c);
            v.u = static_cast<float>((A & 0xFFFF) / 255.0);
            v.v = static_cast<float>((D & 0xFFFF) / 255.0);
            v.color = 0xFFFFFFFFu;
        }
    }
}

void Planes(const Grid& g, const Rotation& rot, float T, float& planeShift) {
    planeShift = T * 5.0f + 20.0f;
    const double shift = planeShift;
    for (unsigned r = 0; r < g.rows; ++r) {
        for (unsigned c = 0; c < g.columns; ++c) {
            Vec d{static_cast<float>(Off(g.cell, c, g.width / 2) * 0.011111111111111112),
                  static_cast<float>(Off(g.cell, r, g.height / 2) * 0.011111111111111112), 2.0f};
            d = RotateNormalise(rot, d);
            FLATVERTEX& v = g.At(r, c);
            if (d.y == 0.0f) {
                // A ray parallel to both planes never meets them: the farthest, fully transparent.
                v.u = 0.0f;
                v.v = 0.0f;
                v.color = 0x00FFFFFFu;
                continue;
            }
            double sign = d.y > 0 ? 1.0 : -1.0;
            double k = sign * 215.0 / d.y;
            double hx = k * d.x, hz = k * d.z + shift;
            v.u = static_cast<float>(hx * 0.001);
            v.v = static_cast<float>(hz * 0.001);
            double d2 = hx * hx + (hz - shift) * (hz - shift);
            std::uint32_t L = 0;
            if (d2 > 0.000001) L = static_cast<std::uint32_t>(Trunc(std::min(std::sqrt(d2) * 0.16666666666666666, 255.0)));
            v.color = 0xFFFFFFFFu - (L << 24);
        }
    }
}

void BentTunnel(const Grid& g) {
    constexpr double R = 400.0, Z = 530.0;
    for (double f = 200.0; f > 0.0;) {
        const double fStep = 0.002 * f + 0.03;
        const double a = f * 0.005;
        const double depth = a * 1000.0;
        const double cosA = std::cos(a);
        const double bend = std::sin(a) * depth;
        for (double p = 200.0; p > 0.0;) {
            const double pStep = 0.002 * p + 0.015;
            const double b = p * 0.005 * 6.2831844;
            std::int32_t X = Trunc((std::sin(b) * Z * cosA + bend) * R / (depth + R + 20.0) + 320.0);
            std::int32_t Y = Trunc((std::cos(b) * R * cosA + bend) * R / (depth + Z) + 240.0);
            if (Y >= 0 && Y < 496 && X >= 0 && X < 656) {
                unsigned row = static_cast<unsigned>(Y) / g.cell, col = static_cast<unsigned>(X) / g.cell;
                if (row < g.rows && col < g.columns) {
                    FLATVERTEX& v = g.At(row, col);
                    v.u = static_cast<float>(Trunc(p * 1.28) / 256.0);
                    v.v = static_cast<float>(Trunc(f * 1.28) / 256.0);
                    v.color = 0xFFFFFFFFu;
                }
            }
            p -= pStep;
        }
        f -= fStep;
    }
}

void SineWarp(const Grid& g, SineWarpState& s, float T) {
    unsigned char firstA = s.sineA[0];
    std::copy(s.sineA + 1, s.sineA + 256, s.sineA);
    s.sineA[255] = firstA;
    std::copy(s.sineB + 1, s.sineB + 256, s.sineB);
    s.sineB[255] = s.sineA[0];
    const int hw = static_cast<int>(g.width / 2), hh = static_cast<int>(g.height / 2);
    for (unsigned r = 0; r < g.rows; ++r) {
        const int d = hh - static_cast<int>(g.cell * r);
        for (unsigned c = 0; c < g.columns; ++c) {
            const int e = hw - static_cast<int>(g.cell * c);
            int ia = s.sineB[(s.phaseA + d + e) & 255];
            int ib = s.sineA[(d + e - s.phaseB) & 255];
            FLATVERTEX& v = g.At(r, c);
            v.u = static_cast<float>(static_cast<double>(c) / g.columns - (s.sineB[(static_cast<int>(r) + ia) & 255] - 10) / 128.0);
            v.v = static_cast<float>(s.sineB[(255 + ib) & 255] / 128.0 + static_cast<double>(r) / g.rows);
        }
    }
    s.phaseA = Trunc(T + 135.0);
    s.phaseB = Trunc(4.0 * T + 35.0);
}

void Lens(const Grid& g, float T) {
    const double Q = kLensQ;
    const double th = std::cos(T * 0.017432) * 0.9 + std::sin(T * 0.011234) * 3.9;
    const double D = 0.5 * std::sin(th * 0.01131235), E = std::cos(th), F = std::sin(th);
    const double P1 = std::sin(T * 0.0612456) * 10 + 20.5, P2 = std::sin(T * 0.061532543) * 10 + 12.5;
    const double P3 = std::sin(T * 0.06122432) * 10 + 20.5, P4 = std::sin(T * 0.061735321) * 10 + 12.5;
    const double J = (std::cos(T * 0.0181234) + 1.5) * 100, K = 2 * std::sin(T * 0.01715453);
    const double H = -(std::sin(T * 0.0171434) + 1.5) * 100, I = -2 * std::cos(T * 0.02913453);
    const double Lx = std::sin((th - 10) * 0.0543345) * 13 + 20.5, Ly = std::sin((T - 15) * 0.01) * 2.6 + 12.5;
    for (unsigned r = 0; r < g.rows; ++r) {
        const double M = 1.2 * r;
        for (unsigned c = 0; c < g.columns; ++c) {
            const double j = c;
            double N = (M - P3) * (M - P2) * 0.4;
            N *= N;
            const double U = (j - P2) * (M - P4) * 0.4;
            const double V = (j * Q + M - P1) * (j - P3) * 0.4;
            const double W = (j - P4 - Q * M) * (j - P1) * 0.4;
            const double f = 1.0 / ((U * U + V * V) * D / H + I) + 1.0 / ((N + W * W) * D / J + K);
            FLATVERTEX& v = g.At(r, c);
            v.u = static_cast<float>((E * (j - 20.5) - F * (M - 12.5) + f * (j - Lx)) / 64.0);
            v.v = static_cast<float>((F * (j - 20.5) + E * (M - 12.5) + f * (M - Ly)) / 64.0);
            double X = std::min(std::fabs(12.0 * f), 31.0);
            if (!(X == X)) X = 31.0;
            std::int32_t A = Trunc(255.0 - 8.0 * X);
            std::uint32_t alpha = static_cast<std::uint32_t>(A >= 160 ? A : A / 4);
            v.color = (alpha << 24) + 0xFFFFFFu;
        }
    }
}

void Waves(const Grid& g, WaveState& w, float t, float speed) {
    float rowAngle = 0.0f;
    for (unsigned r = 0; r < g.rows; ++r, rowAngle += 0.09239978392911156f) {
        float colAngle = 0.0f;
        for (unsigned c = 0; c < g.columns; ++c, colAngle += 0.10471975511965977f) {
            FLATVERTEX& v = g.At(r, c);
            v.u = static_cast<float>((15.0 * std::sin(std::sin(w.sweep) * std::cos(rowAngle)) + w.ampX * std::sin(colAngle) +
                                      14.0 * w.phaseX + 4.0 * c) / 256.0);
            v.v = static_cast<float>((30.0 * w.ampY * std::sin(std::cos(w.sweep) * std::sin(rowAngle)) * std::cos(colAngle) +
                                      21.0 * w.phaseY + 3.0 * r) / 256.0);
        }
    }
    w.phaseX = static_cast<float>(kPi * std::sin((t + 250.0) * 0.1 * w.rateX));
    w.phaseY = static_cast<float>(kPi * std::sin(t * 0.1 * w.rateY));
    w.ampX = static_cast<float>(3.852 * std::cos((t + 500.0) * 0.00025 * kPi) - 2.232);
    w.ampY = static_cast<float>(2.255 * std::sin(t * 0.00025 * kPi) - 3.574);
    w.sweep = static_cast<float>(t * 0.01 * w.rateSweep * speed);
}

void Inversion(const Grid& g) {
    const float s = static_cast<float>(g.cell);
    const float halfW = g.width / 2.0f, halfH = g.height / 2.0f;
    for (float y = -halfH; y < halfH + s; y += s) {
        for (float x = -halfW; x < halfW + s; x += s) {
            float q = x * x + y * y;
            if (q < 5400.0f) q = 10800.0f - q;
            float gain = 23040.0f / q;
            unsigned col = static_cast<unsigned>(Trunc(halfW + static_cast<float>(Trunc(x)))) / g.cell;
            unsigned row = static_cast<unsigned>(Trunc(halfH + static_cast<float>(Trunc(y)))) / g.cell;
            if (row >= g.rows || col >= g.columns) continue;
            FLATVERTEX& v = g.At(row, col);
            v.u = static_cast<float>(Trunc(x * gain) / 256.0);
            v.v = static_cast<float>(Trunc(y * gain) / 256.0);
            v.color = 0xFFFFFFFFu;
        }
    }
}

void Cylinder(const Grid& g, const Rotation& rot, float T) {
    const double e = T * 3.0 + 20.0;
    for (unsigned r = 0; r < g.rows; ++r) {
        for (unsigned c = 0; c < g.columns; ++c) {
            Vec d{static_cast<float>(Off(g.cell, c, g.width / 2) / 64.0), static_cast<float>(Off(g.cell, r, g.height / 2) / 64.0), 1.0f};
            d = RotateNormalise(rot, d);
            double a = d.x * d.x + d.y * d.y;
            double root = std::sqrt(4.0 * 256.0 * 256.0 * a);
            double den = 2.0 * a + 0.000001;
            double dd = root / den;
            if (!(dd > 0)) dd = -root / den;
            FLATVERTEX& v = g.At(r, c);
            v.u = static_cast<float>(Trunc(std::fabs(dd * d.z + e) * 0.6) / 256.0);
            v.v = static_cast<float>(Trunc(std::fabs(std::atan2(dd * d.y, dd * d.x) * k256OverPi)) / 256.0);
            std::uint32_t F = static_cast<std::uint32_t>(Trunc(std::min(20000.0 / dd, 63.0)));
            v.color = F * 0x04040404u;
        }
    }
}

}  // namespace velunar::fxmodes
