// The grid generators against values worked out by hand or by an independent formula.
#include "fx/grid_modes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// The start-up grid: 800 x 400 with 16-pixel cells, 52 x 27 vertices.
struct TestGrid {
    std::vector<FLATVERTEX> v = std::vector<FLATVERTEX>(52 * 27, FLATVERTEX{0, 0, 0, 1, 0x12345678u, -9, -9});
    velunar::fxmodes::Grid g{800, 400, 16, 52, 27, v.data()};
    FLATVERTEX& at(unsigned r, unsigned c) { return g.At(r, c); }
};

const velunar::fxmodes::Rotation kIdentity{{1, 0, 0, 0, 1, 0, 0, 0, 1}};

TEST(GridRotation, ZeroAnglesGiveIdentity) {
    velunar::fxmodes::Rotation r = velunar::fxmodes::RotationFromAngles(0, 0, 0);
    for (int i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(r.m[i], kIdentity.m[i]) << i;
}

TEST(GridRotation, QuarterTurnAboutZ) {
    velunar::fxmodes::Rotation r = velunar::fxmodes::RotationFromAngles(0, 0, 90);
    // row 0 = (cz, sz, 0), row 1 = (-sz, cz, 0) with cy = cx = 1.
    EXPECT_NEAR(r.m[0], 0, 1e-6);
    EXPECT_NEAR(r.m[1], 1, 1e-6);
    EXPECT_NEAR(r.m[3], -1, 1e-6);
    EXPECT_NEAR(r.m[8], 1, 1e-6);
}

TEST(GridModes, RadialCentreVertexUsesXOne) {
    TestGrid t;
    velunar::fxmodes::Radial(t.g, 0, 0, 400.0);
    // X = c*16 - 400 - 160 = 0 at c = 35; Y = r*16 - 200 = 0 at r = 12.5: no such row, so shift the
    // centre to meet a vertex exactly: centreY = -8 makes row 12 hit Y = 0.
    velunar::fxmodes::Radial(t.g, 0, -8, 400.0);
    const FLATVERTEX& v = t.at(12, 35);
    EXPECT_FLOAT_EQ(v.v, 240.0f / 255.0f);
    // atan2(1, 0) = pi/2 -> 64 + 128 = 192.
    EXPECT_FLOAT_EQ(v.u, 192.0f / 255.0f);
    EXPECT_EQ(v.color, 0xFFFFFFFFu);
}

TEST(GridModes, RadialNegativeDistanceWrapsSixteenBits) {
    TestGrid t;
    velunar::fxmodes::Radial(t.g, 0, 0, 400.0);
    // Vertex (0, 0): X = -560, Y = -200; D = truncate(240 - sqrt(353600)/400*240) = -116.
    const int D = static_cast<int>(240 - std::sqrt(353600.0) / 400.0 * 240);
    EXPECT_EQ(D, -116);
    EXPECT_FLOAT_EQ(t.at(0, 0).v, static_cast<float>((D & 0xFFFF) / 255.0));
}

TEST(GridModes, InversionLeavesLastRowAndColumn) {
    TestGrid t;
    velunar::fxmodes::Inversion(t.g);
    // Row 12 lies at y = -8 (rows are 16 apart from -200), column 25 at x = 0: q = 64 becomes
    // 10800 - 64, g = 23040 / 10736, v = truncate(-8 g) / 256.
    EXPECT_FLOAT_EQ(t.at(12, 25).u, 0.0f);
    EXPECT_FLOAT_EQ(t.at(12, 25).v, -17.0f / 256.0f);
    EXPECT_EQ(t.at(12, 25).color, 0xFFFFFFFFu);
    EXPECT_EQ(t.at(26, 3).color, 0x12345678u);
    EXPECT_EQ(t.at(3, 51).color, 0x12345678u);
    EXPECT_EQ(t.at(25, 50).color, 0xFFFFFFFFu);
    // x = -400, y = -200: q = 200000, g = 0.1152; u = truncate(-46.08)/256.
    EXPECT_FLOAT_EQ(t.at(0, 0).u, -46.0f / 256.0f);
    EXPECT_FLOAT_EQ(t.at(0, 0).v, -23.0f / 256.0f);
}

TEST(GridModes, SphereStaysInSignedByteRange) {
    TestGrid t;
    velunar::fxmodes::Sphere(t.g, velunar::fxmodes::RotationFromAngles(10, 20, 30));
    for (const FLATVERTEX& v : t.v) {
        EXPECT_GE(v.u, -128.0f / 255.0f);
        EXPECT_LE(v.u, 127.0f / 255.0f);
        EXPECT_GE(v.v, -128.0f / 255.0f);
        EXPECT_LE(v.v, 127.0f / 255.0f);
        EXPECT_EQ(v.color, 0xFFFFFFFFu);
    }
}

TEST(GridModes, PlanesFadeWithDistanceAndSetTheShift) {
    TestGrid t;
    float shift = 0;
    velunar::fxmodes::Planes(t.g, kIdentity, 2.0f, shift);
    EXPECT_FLOAT_EQ(shift, 30.0f);
    // The row nearest the horizon is farthest: alpha 0; the top row is near: opaque-ish.
    unsigned farAlpha = t.at(13, 25).color >> 24;
    unsigned nearAlpha = t.at(0, 25).color >> 24;
    EXPECT_LT(farAlpha, nearAlpha);
    // Top-row centre: direction (ish 0.18, -2.22, 2) normalised; hit at k = 215/|y|.
    double x = (16 * 25 - 400) * 0.011111111111111112, y = -200 * 0.011111111111111112, z = 2.0;
    double len = std::sqrt(x * x + y * y + z * z);
    x /= len, y /= len, z /= len;
    double k = -215.0 / y;
    double d = std::sqrt((k * x) * (k * x) + (k * z) * (k * z));
    unsigned L = static_cast<unsigned>(std::min(d / 6.0, 255.0));
    EXPECT_NEAR(static_cast<int>(nearAlpha), static_cast<int>(255 - L), 1);
    EXPECT_EQ(t.at(0, 25).color & 0xFFFFFFu, 0xFFFFFFu);
}

TEST(GridModes, LensAlphaBounds) {
    TestGrid t;
    for (float T : {0.0f, 100.0f, 1234.5f}) {
        velunar::fxmodes::Lens(t.g, T);
        for (const FLATVERTEX& v : t.v) {
            unsigned a = v.color >> 24;
            // Either the strong-lens quartered range (1 ... 39) or 160 ... 255.
            EXPECT_TRUE((a >= 1 && a <= 39) || (a >= 160 && a <= 255)) << a;
            EXPECT_EQ(v.color & 0xFFFFFFu, 0xFFFFFFu);
        }
    }
}

TEST(GridModes, CylinderColourBounds) {
    TestGrid t;
    velunar::fxmodes::Cylinder(t.g, kIdentity, 5.0f);
    for (const FLATVERTEX& v : t.v) {
        unsigned f = v.color & 0xFF;
        EXPECT_LE(f, 63u * 4u);
        EXPECT_EQ(v.color, f / 4 * 0x04040404u);
    }
    // Rays near the axis meet the wall far away (dark); the band's corners meet it close by.
    EXPECT_EQ(t.at(0, 0).color, 0xFCFCFCFCu);
    EXPECT_LT(t.at(12, 25).color & 0xFF, 0x40u);
}

TEST(GridModes, SineWarpCyclesIn256Calls) {
    TestGrid t;
    velunar::fxmodes::SineWarpState s;
    velunar::fxmodes::InitSineTables(s);
    const std::vector<unsigned char> a0(s.sineA, s.sineA + 256);
    EXPECT_EQ(a0[0], 28);
    EXPECT_EQ(a0[64], 56);
    for (int i = 0; i < 256; ++i) velunar::fxmodes::SineWarp(t.g, s, 10.0f);
    EXPECT_EQ(std::vector<unsigned char>(s.sineA, s.sineA + 256), a0);
    EXPECT_EQ(s.phaseA, 145);
    EXPECT_EQ(s.phaseB, 75);
    // Colours are left alone.
    EXPECT_EQ(t.at(3, 3).color, 0x12345678u);
}

TEST(GridModes, WavesUseTheStateOfThePreviousCall) {
    TestGrid t;
    velunar::fxmodes::WaveState w;
    velunar::fxmodes::Waves(t.g, w, 1000.0f, 1.0f);
    // First call: all state 0, so u = 4c/256 and v = 3r/256.
    EXPECT_FLOAT_EQ(t.at(5, 7).u, 28.0f / 256.0f);
    EXPECT_FLOAT_EQ(t.at(5, 7).v, 15.0f / 256.0f);
    EXPECT_NEAR(w.sweep, 1000.0f * 0.01f * 0.024f, 1e-6);
    velunar::fxmodes::Waves(t.g, w, 1000.0f, 1.0f);
    EXPECT_NE(t.at(5, 7).u, 28.0f / 256.0f);
}

TEST(GridModes, TunnelAndBentTunnelWriteTheirMaps) {
    TestGrid t;
    velunar::fxmodes::Tunnel(t.g);
    for (const FLATVERTEX& v : t.v) {
        EXPECT_LE(v.u, 0.0f);
        EXPECT_GT(v.u, -1.0f);
        EXPECT_EQ(v.color, 0xFFFFFFFFu);
    }
    TestGrid b;
    velunar::fxmodes::BentTunnel(b.g);
    int reached = 0;
    for (const FLATVERTEX& v : b.v) reached += v.color == 0xFFFFFFFFu;
    EXPECT_GT(reached, 100);
    EXPECT_LT(reached, 52 * 27);
}

}  // namespace
