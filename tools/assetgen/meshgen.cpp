// meshgen.cpp - the mesh generators. Every closed mesh is wound so that the loader's normals
// point into the solid, and every open sheet so that they point down: with the one light
// travelling up (+y) and the scenes culling clockwise faces, the side that faces a camera
// above is then the side that is drawn and lit.
#include <algorithm>
#include <cmath>
#include <functional>

#include "mesh.h"

namespace assetgen {
namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kTau = 2 * kPi;

using SurfaceFn = std::function<Vec3(float u, float v)>;

// (nu x nv) quads over u, v in 0 ... 1; wrapU/wrapV join the last column/row to the first.
Mesh Grid(int nu, int nv, bool wrapU, bool wrapV, const SurfaceFn& f) {
    Mesh m;
    int cu = wrapU ? nu : nu + 1, cv = wrapV ? nv : nv + 1;
    for (int j = 0; j < cv; ++j)
        for (int i = 0; i < cu; ++i) {
            float u = static_cast<float>(i) / nu, v = static_cast<float>(j) / nv;
            m.pos.push_back(f(u, v));
            m.uv.push_back({u, v});
        }
    auto id = [&](int i, int j) { return static_cast<uint32_t>((j % cv) * cu + (i % cu)); };
    for (int j = 0; j < nv; ++j)
        for (int i = 0; i < nu; ++i) {
            uint32_t a = id(i, j), b = id(i + 1, j), c = id(i + 1, j + 1), d = id(i, j + 1);
            m.faces.push_back({a, b, c});
            m.faces.push_back({a, c, d});
        }
    return m;
}

// A closed star-shaped body: radius r(direction) over a latitude-longitude net with one vertex
// at each pole (no degenerate faces).
Mesh Body(int nu, int nv, const std::function<float(Vec3)>& radius, Vec3 squash = {1, 1, 1}) {
    Mesh m;
    auto dir = [](float u, float v) {
        float th = v * kPi, ph = u * kTau;
        return Vec3{std::sin(th) * std::cos(ph), std::cos(th), std::sin(th) * std::sin(ph)};
    };
    auto place = [&](Vec3 d) {
        Vec3 p = d * radius(d);
        return Vec3{p.x * squash.x, p.y * squash.y, p.z * squash.z};
    };
    m.pos.push_back(place({0, 1, 0}));
    m.uv.push_back({0.5f, 0});
    for (int j = 1; j < nv; ++j)
        for (int i = 0; i < nu; ++i) {
            float u = static_cast<float>(i) / nu, v = static_cast<float>(j) / nv;
            m.pos.push_back(place(dir(u, v)));
            m.uv.push_back({u, v});
        }
    uint32_t south = static_cast<uint32_t>(m.pos.size());
    m.pos.push_back(place({0, -1, 0}));
    m.uv.push_back({0.5f, 1});
    auto id = [&](int i, int j) { return static_cast<uint32_t>(1 + (j - 1) * nu + (i % nu)); };
    for (int i = 0; i < nu; ++i) m.faces.push_back({0, id(i + 1, 1), id(i, 1)});
    for (int j = 1; j < nv - 1; ++j)
        for (int i = 0; i < nu; ++i) {
            uint32_t a = id(i, j), b = id(i + 1, j), c = id(i + 1, j + 1), d = id(i, j + 1);
            m.faces.push_back({a, b, c});
            m.faces.push_back({a, c, d});
        }
    for (int i = 0; i < nu; ++i) m.faces.push_back({south, id(i, nv - 1), id(i + 1, nv - 1)});
    return m;
}

// Tube of radius `tube(s, a)` around a closed centre curve c(s), s in 0 ... 1; `side` gives a
// vector off the curve that fixes the tube's frame without flips.
Mesh Tube(int ns, int na, const std::function<Vec3(float)>& c, const std::function<Vec3(float)>& side,
          const std::function<float(float, float)>& tube) {
    return Grid(ns, na, true, true, [&](float s, float a) {
        Vec3 p = c(s);
        Vec3 t = Normalise(c(s + 1e-3f) - c(s - 1e-3f));
        Vec3 n = side(s);
        n = Normalise(n - t * Dot(n, t));
        Vec3 b = Cross(t, n);
        float ang = a * kTau, r = tube(s, ang);
        return p + (n * std::cos(ang) + b * std::sin(ang)) * r;
    });
}

Mesh Torus(int nu, int nv, float major, const std::function<float(float, float)>& minor) {
    return Tube(nu, nv, [=](float s) { return Vec3{major * std::cos(s * kTau), 0, major * std::sin(s * kTau)}; },
                [](float s) { return Vec3{std::cos(s * kTau), 0, std::sin(s * kTau)}; }, minor);
}

Mesh Inward(Mesh m) {
    if (SignedVolume(m) > 0) FlipWinding(m);
    return m;
}

// Each face wound on its own so that its loader normal points down, towards where the light comes
// from: fx05 draws its knot unculled and untested at low alpha, and the faces the light would
// miss blend in black.
Mesh EveryFaceDown(Mesh m) {
    for (size_t f = 0; f < m.faces.size(); ++f)
        if (LoaderFaceNormal(m, f).y > 0) std::swap(m.faces[f][1], m.faces[f][2]);
    return m;
}

Mesh FacingDown(Mesh m) {
    double sum = 0;
    for (size_t f = 0; f < m.faces.size(); ++f) sum += LoaderFaceNormal(m, f).y;
    if (sum > 0) FlipWinding(m);
    return m;
}

Mesh RotateX(Mesh m, float a) {
    for (auto& p : m.pos) p = {p.x, p.y * std::cos(a) - p.z * std::sin(a), p.y * std::sin(a) + p.z * std::cos(a)};
    return m;
}
Mesh RotateZ(Mesh m, float a) {
    for (auto& p : m.pos) p = {p.x * std::cos(a) - p.y * std::sin(a), p.x * std::sin(a) + p.y * std::cos(a), p.z};
    return m;
}

}  // namespace

// 2.obj: fx02 looks down from 500 units at scale 1.1 + 8 L; radius at most 160 keeps the blob
// below the camera up to scale 3 (a mean spectrum of 0.44, the loudest beats).
Mesh MakeBlob() {
    return Inward(Body(72, 44, [](Vec3 d) {
        return 120 * (1 + 0.12f * std::sin(5 * d.x + 2 * d.y) + 0.1f * std::sin(4 * d.z - 3 * d.y) +
                      0.07f * std::sin(9 * d.x * d.z + 1) + 0.05f * std::cos(7 * d.y));
    }));
}

// geo1 ... geo3: fx03 views them from 560 ... 670 units at scales 4.5 and 5; radius 75 ... 90
// fills the band's right half (geo1, seen from nearest, is the smallest).
Mesh MakeGeo(int n) {
    if (n == 1)  // a rounded cube with grooves round its girth
        return Inward(Body(64, 40, [](Vec3 d) {
            float p = 6;
            float s = std::pow(std::pow(std::fabs(d.x), p) + std::pow(std::fabs(d.y), p) + std::pow(std::fabs(d.z), p), 1 / p);
            float groove = 1 - 0.06f * std::pow(std::fabs(std::sin(d.y * 12)), 8.0f);
            return 66 / s * groove;
        }));
    if (n == 2)  // a twisted torus of square section
        return Inward(Tube(128, 20, [](float s) { return Vec3{95 * std::cos(s * kTau), 0, 95 * std::sin(s * kTau)}; },
                           [](float s) { return Vec3{std::cos(s * kTau), 0, std::sin(s * kTau)}; },
                           [](float s, float a) {
                               float q = a + s * kTau * 1.5f;  // three quarter turns of twist per loop
                               float c = std::fabs(std::cos(q)), d = std::fabs(std::sin(q));
                               return 15 / std::pow(std::pow(c, 4.0f) + std::pow(d, 4.0f), 0.25f);
                           }));
    // geo3: an octahedral star with six spikes
    return Inward(Body(96, 48, [](Vec3 d) {
        float m = std::max(std::fabs(d.x), std::max(std::fabs(d.y), std::fabs(d.z)));
        return (36 + 64 * std::pow(m, 14.0f)) * (1 + 0.04f * std::sin(20 * std::acos(std::fabs(d.y))));
    }));
}

// foil.obj: fx04's camera hovers 90 ... 150 units above it; a spiral sheet 330 units across,
// bending at most 60 units off the plane, with a gentle twist that never turns it over. Its
// cross-sections are straight, so six strips across carry the twist's shading; 192 along keep
// the spiral's edge round.
Mesh MakeFoil() {
    return FacingDown(Grid(192, 6, false, false, [](float u, float v) {
        float a = u * kPi * 1.6f, rho = 50 + 110 * u;
        Vec3 radial{std::cos(a), 0, std::sin(a)};
        Vec3 centre = radial * rho + Vec3{0, 22 * std::sin(u * kTau * 1.5f), 0};
        float twist = 0.9f * std::sin(u * kTau);
        Vec3 across = radial * std::cos(twist) + Vec3{0, std::sin(twist), 0};
        float width = 70 * std::sin(u * kPi * 0.9f + 0.15f);
        return centre + across * ((v - 0.5f) * width);
    }));
}

// 1.obj: a (2, 3) torus knot; fx05 sees it from 100 units at scale 0.9, so it stays within 75.
Mesh MakeKnot() {
    auto c = [](float s) {
        float p = 2 * s * kTau, q = 3 * s * kTau;
        float r = 42 + 18 * std::cos(q);
        return Vec3{r * std::cos(p), 18 * std::sin(q), r * std::sin(p)};
    };
    auto side = [&](float s) { return c(s) - Vec3{42 * std::cos(2 * s * kTau), 0, 42 * std::sin(2 * s * kTau)}; };
    return EveryFaceDown(Tube(128, 10, c, side, [](float s, float) { return 12 + 1.5f * std::sin(s * kTau * 12); }));
}

// sys.obj: three interlocking rings round a spiked core; fx06 draws it ten times, 0.7 scale,
// 190 ... 250 units below the camera, so it stays within 240; at a tenth of opacity each copy
// blurs its facets into the others, so about 2 500 faces carry it (its frame is ten copies'
// triangles more than their pixels).
Mesh MakeSys() {
    Mesh m;
    auto ring = [](float) { return [](float s, float) { return 14 + 4 * std::pow(std::fabs(std::sin(s * kTau * 8)), 6.0f); }; };
    Mesh a = Inward(Torus(48, 6, 200, ring(0)));
    m.Append(a);
    m.Append(Inward(RotateX(a, kPi / 2)));
    m.Append(Inward(RotateZ(a, kPi / 2)));
    m.Append(Inward(Body(24, 12, [](Vec3 d) {
        float k = std::pow(std::fabs(d.x * d.y * d.z) * 5.196f, 3.0f);  // peaks on the eight diagonals
        return 70 * (1 + 0.6f * k);
    })));
    for (int i = 0; i < 8; ++i) {
        Vec3 at{(i & 1) ? 1.0f : -1.0f, (i & 2) ? 1.0f : -1.0f, (i & 4) ? 1.0f : -1.0f};
        Mesh bead = Inward(Body(6, 4, [](Vec3) { return 16.0f; }));
        for (auto& p : bead.pos) p = p + at * 120;
        m.Append(bead);
    }
    return m;
}

// 5.obj: a studded lantern; fx07 shows it 280 units away at scale 0.3 at the edge of its wide
// view, which stretches it about twice as much across as up, so it is built twice as tall as wide.
// It turns slowly about its vertical axis, so it reads alike from every side.
Mesh MakeOrnament() {
    return Inward(Body(64, 48, [](Vec3 d) {
        float ph = std::atan2(d.z, d.x), th = std::acos(std::clamp(d.y, -1.0f, 1.0f));
        float ribs = std::pow(std::fabs(std::cos(ph * 4)), 4.0f) * std::pow(std::sin(th), 2.0f);
        float bands = std::pow(std::fabs(std::cos(th * 4)), 6.0f);
        return 100 * (0.78f + 0.16f * ribs + 0.08f * bands);
    }, {1, 2, 1}));
}

// ring.obj: a ridged torus; fx08's rings at scales 0.8, 0.6, 0.4 seen from 200 ... 360 units.
Mesh MakeRing() {
    return Inward(Torus(96, 12, 260, [](float s, float) { return 28 * (1 + 0.25f * std::pow(std::fabs(std::sin(s * kTau * 12)), 4.0f)); }));
}

// flower.obj: two rings of petals round a low dome, facing up; fx10's camera descends from 200
// to 10 units above it at scale 0.5, so everything near the axis stays below 18 units.
Mesh MakeFlower() {
    auto petals = [](int count, float size, float lift, float phase, int nr, int na) {
        Mesh m;
        m.pos.push_back({0, lift, 0});
        m.uv.push_back({0.5f, 0.5f});
        for (int j = 1; j <= nr; ++j)
            for (int i = 0; i < na; ++i) {
                float s = static_cast<float>(j) / nr, th = i * kTau / na;
                float shape = 0.35f + 0.65f * std::pow(std::fabs(std::cos(th * count * 0.5f + phase)), 0.7f);
                float rho = s * size * shape;
                float y = lift + 55 * s * s * shape + 5 * std::sin(th * count * 4) * s;
                m.pos.push_back({rho * std::cos(th), y, rho * std::sin(th)});
                m.uv.push_back({0.5f + 0.5f * s * std::cos(th), 0.5f + 0.5f * s * std::sin(th)});
            }
        auto id = [&](int i, int j) { return static_cast<uint32_t>(1 + (j - 1) * na + (i % na)); };
        for (int i = 0; i < na; ++i) m.faces.push_back({0, id(i, 1), id(i + 1, 1)});
        for (int j = 1; j < nr; ++j)
            for (int i = 0; i < na; ++i) {
                uint32_t a = id(i, j), b = id(i + 1, j), c = id(i + 1, j + 1), d = id(i, j + 1);
                m.faces.push_back({a, c, b});
                m.faces.push_back({a, d, c});
            }
        return FacingDown(m);
    };
    Mesh m = petals(8, 300, 0, 0, 12, 128);
    m.Append(petals(8, 170, 4, kPi / 8, 8, 128));
    m.Append(Inward(Body(40, 16, [](Vec3) { return 40.0f; }, {1, 0.3f, 1})));
    return m;
}

std::vector<MeshAsset> MeshAssets() {
    return {
        {"2.obj", MakeBlob},
        {"geo1.obj", [] { return MakeGeo(1); }},
        {"geo2.obj", [] { return MakeGeo(2); }},
        {"geo3.obj", [] { return MakeGeo(3); }},
        {"foil.obj", MakeFoil},
        {"1.obj", MakeKnot},
        {"sys.obj", MakeSys},
        {"5.obj", MakeOrnament},
        {"ring.obj", MakeRing},
        {"flower.obj", MakeFlower},
    };
}

}  // namespace assetgen
