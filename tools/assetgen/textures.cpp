// textures.cpp - the tileable pictures: grid textures and sphere maps.
#include "textures.h"

#include <cmath>

namespace assetgen {
namespace {

template <class F>
Image Tile(int size, F f) {
    Image img(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) img.at(x, y) = f((x + 0.5f) / size, (y + 0.5f) / size);
    return img;
}

// Distance on the unit circle: what keeps spots and lines seamless across the tile edges.
float WrapDist(float a, float b) {
    float d = std::fabs(a - b);
    d -= std::floor(d);
    return d > 0.5f ? 1 - d : d;
}

Rgba Ramp(float t, Rgba a, Rgba b, Rgba c) {
    t = Clamp01(t);
    return t < 0.5f ? Mix(a, b, t * 2) : Mix(b, c, t * 2 - 1);
}

}  // namespace

// tex1: steel chrome. Bright bands that sway across u, with fine brushed noise.
Image MakeBack2() {
    return Tile(256, [](float u, float v) {
        float sway = 0.08f * std::sin(kTau * u * 2) + 0.04f * std::sin(kTau * (u * 3 + v));
        float bands = std::pow(0.5f + 0.5f * std::sin(kTau * (v * 3 + sway)), 6.0f);
        float fine = PeriodicFbm(u * 8, v * 64, 8, 3, 11);
        float n = PeriodicFbm(u * 4, v * 4, 4, 4, 12);
        float t = 0.15f + 0.75f * bands + 0.25f * (fine - 0.5f) + 0.3f * (n - 0.5f);
        return Ramp(t, {0.02f, 0.04f, 0.12f, 1}, {0.25f, 0.45f, 0.75f, 1}, {1.0f, 0.98f, 0.95f, 1});
    });
}

// tex2: warm plasma cells for the lens and inversion passes.
Image MakeBack() {
    return Tile(256, [](float u, float v) {
        float n = PeriodicFbm(u * 4, v * 4, 4, 5, 21);
        float p = std::sin(kTau * (u * 2 + n * 1.5f)) * std::sin(kTau * (v * 2 - n));
        float cells = 0.5f + 0.5f * p;
        float glow = std::pow(cells, 3.0f);
        return Ramp(0.1f + 0.9f * glow, {0.08f, 0.0f, 0.06f, 1}, {0.85f, 0.25f, 0.1f, 1}, {1.0f, 0.9f, 0.55f, 1});
    });
}

// tex3: a studio environment: a horizon band, a sky gradient and a few hard light boxes.
Image MakeBack3() {
    return Tile(256, [](float u, float v) {
        float horizon = std::exp(-std::pow(WrapDist(v, 0.5f) * 14, 2.0f));
        float sky = 0.5f + 0.5f * std::cos(kTau * v);
        Rgba c = Mix({0.05f, 0.06f, 0.1f, 1}, {0.35f, 0.55f, 0.85f, 1}, sky);
        c = Add(c, {1.0f, 0.85f, 0.6f, 1}, horizon * 0.9f);
        const float lights[4][2] = {{0.15f, 0.2f}, {0.6f, 0.12f}, {0.4f, 0.8f}, {0.85f, 0.7f}};
        for (auto& l : lights) {
            float d = std::max(WrapDist(u, l[0]) * 1.2f, WrapDist(v, l[1]) * 2.5f);
            float box = 1 - Smooth(0.05f, 0.07f, d);
            c = Add(c, {1, 1, 1, 1}, box * 1.2f);
        }
        float grain = PeriodicFbm(u * 8, v * 8, 8, 3, 31) - 0.5f;
        return Add(c, {1, 1, 1, 1}, grain * 0.12f);
    });
}

// stq1 ... stq5: the grid textures; stq3 and stq4 double as mesh maps.
Image MakeStq(int n) {
    switch (n) {
        case 1:  // glowing tile lines, for the floor-and-ceiling planes
            return Tile(256, [](float u, float v) {
                float du = WrapDist(u * 8, std::round(u * 8)), dv = WrapDist(v * 8, std::round(v * 8));
                float line = std::exp(-std::pow(std::min(du, dv) * 18, 2.0f));
                float cell = PeriodicNoise(std::floor(u * 8), std::floor(v * 8), 8, 41);
                float fill = cell > 0.75f ? 0.35f : 0.05f;
                Rgba c = Mix({0.0f, 0.02f, 0.06f, 1}, {0.1f, 0.35f, 0.6f, 1}, fill + 0.2f * PeriodicFbm(u * 4, v * 4, 4, 3, 42));
                return Add(c, {0.5f, 0.95f, 1.0f, 1}, line);
            });
        case 2:  // amber rings on a lattice, the tile that fx01 stacks into its target
            return Tile(256, [](float u, float v) {
                float cu = u * 4 - std::floor(u * 4) - 0.5f, cv = v * 4 - std::floor(v * 4) - 0.5f;
                float r = std::sqrt(cu * cu + cv * cv);
                float rings = std::pow(0.5f + 0.5f * std::cos(r * 60), 4.0f) * (1 - Smooth(0.38f, 0.48f, r));
                float dot = 1 - Smooth(0.06f, 0.09f, r);
                float bg = PeriodicFbm(u * 4, v * 4, 4, 4, 51);
                // A dark ground: fx01 multiplies the tile up to twelvefold when the music is loud.
                Rgba c = Mix({0.01f, 0.004f, 0.0f, 1}, {0.18f, 0.07f, 0.02f, 1}, bg * bg);
                c = Add(c, {1.0f, 0.65f, 0.2f, 1}, rings);
                return Add(c, {1, 1, 1, 1}, dot);
            });
        case 3:  // diagonal streaks of gold leaf, the foil's map: warm against fx04's blue grids
            return Tile(256, [](float u, float v) {
                float d = u + v;
                float n = PeriodicFbm(u * 4, v * 4, 4, 4, 61);
                float s = 0.5f + 0.5f * std::sin(kTau * (d * 3 + n * 0.8f));
                float crinkle = PeriodicFbm(u * 16, v * 16, 16, 3, 62);
                float t = std::pow(s, 3.0f) * 0.8f + 0.2f * n + 0.25f * (crinkle - 0.5f);
                return Ramp(t, {0.08f, 0.03f, 0.0f, 1}, {0.85f, 0.55f, 0.15f, 1}, {1.0f, 0.97f, 0.85f, 1});
            });
        case 4:  // soft studio lights on teal: the additive mesh map of fx02 and fx03
            return Tile(256, [](float u, float v) {
                float sky = 0.5f + 0.5f * std::cos(kTau * v);
                Rgba c = Mix({0.0f, 0.05f, 0.08f, 1}, {0.1f, 0.5f, 0.6f, 1}, sky);
                for (int i = 0; i < 6; ++i) {
                    float lu = PeriodicNoise(static_cast<float>(i), 0.5f, 64, 71), lv = PeriodicNoise(static_cast<float>(i), 3.5f, 64, 72);
                    float d = std::hypot(WrapDist(u, lu), WrapDist(v, lv));
                    c = Add(c, {1.0f, 0.95f, 0.85f, 1}, std::exp(-d * d * 180) * 1.1f);
                }
                float streak = std::exp(-std::pow(WrapDist(v, 0.5f) * 20, 2.0f));
                return Add(c, {0.9f, 1.0f, 1.0f, 1}, streak * 0.8f);
            });
        default:  // stq5: a lattice of light on deep violet; fx05's inversion bends it into a 1/z web
            return Tile(256, [](float u, float v) {
                float du = WrapDist(u * 8, std::round(u * 8)), dv = WrapDist(v * 8, std::round(v * 8));
                float line = std::exp(-std::pow(std::min(du, dv) * 14, 2.0f));
                float knot = std::exp(-(du * du + dv * dv) * 60);
                float n = PeriodicFbm(u * 4, v * 4, 4, 4, 81);
                Rgba c = Mix({0.03f, 0.0f, 0.08f, 1}, {0.3f, 0.08f, 0.45f, 1}, n);
                c = Add(c, {0.95f, 0.45f, 1.0f, 1}, line * (0.6f + 0.4f * n));
                return Add(c, {1, 1, 1, 1}, knot * 1.2f);
            });
    }
}

// h3: cyan environment with a grid of light, both a grid texture and a ring/flower map.
Image MakeH3() {
    return Tile(256, [](float u, float v) {
        float sky = 0.5f + 0.5f * std::cos(kTau * v);
        Rgba c = Mix({0.0f, 0.04f, 0.1f, 1}, {0.2f, 0.7f, 0.9f, 1}, sky * sky);
        float du = WrapDist(u * 4, std::round(u * 4)), dv = WrapDist(v * 4, std::round(v * 4));
        c = Add(c, {0.8f, 1.0f, 1.0f, 1}, std::exp(-std::pow(std::min(du, dv) * 30, 2.0f)) * 0.7f);
        float sun = std::hypot(WrapDist(u, 0.25f), WrapDist(v, 0.0f));
        c = Add(c, {1, 1, 1, 1}, std::exp(-sun * sun * 60) * 1.3f);
        float n = PeriodicFbm(u * 4, v * 4, 4, 4, 91);
        return Add(c, {0.2f, 0.5f, 0.6f, 1}, (n - 0.5f) * 0.6f);
    });
}

// tc: coloured marble for fx09's opposite warps.
Image MakeTc() {
    return Tile(256, [](float u, float v) {
        float n = PeriodicFbm(u * 4, v * 4, 4, 5, 101);
        float m = 0.5f + 0.5f * std::sin(kTau * (u * 2 + v) + n * 9);
        float hue = PeriodicFbm(u * 2, v * 2, 2, 2, 102);
        Rgba a = Mix({0.9f, 0.2f, 0.3f, 1}, {0.2f, 0.4f, 1.0f, 1}, hue);
        return Mix({0.03f, 0.02f, 0.05f, 1}, a, std::pow(m, 1.5f) * 1.1f);
    });
}

Image MakePlain(float grey) { return Image(16, 16, {grey, grey, grey, 1}); }

}  // namespace assetgen
