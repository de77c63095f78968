// bands.cpp - the letterbox band backgrounds, the glows and the pictures with alpha masks.
#include <algorithm>
#include <cmath>

#include "text.h"
#include "textures.h"

namespace assetgen {
namespace {

constexpr int kBandW = 1024, kBandH = 512;
// The band shows these rows; what lies below is never seen and only continues the picture.
constexpr int kBandRows = 384;

// A small linear congruential sequence: fixed layouts (skyline, scattered glints) per seed.
struct Lcg {
    uint32_t s;
    explicit Lcg(uint32_t seed) : s(seed) {}
    float Next() {
        s = s * 1664525u + 1013904223u;
        return (s >> 8) / 16777216.0f;
    }
};

template <class F>
void Fill(Image& img, F f) {
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) img.at(x, y) = f(x, y);
}

}  // namespace

// fx04's band and fx06's reference height: a broadcast of the lunar horizon. fx04 lays it over the
// whole scene at 35 ... 65 % (more on the beats), so it is soft and mid-bright: a glowing horizon
// between an indigo sky and a dark sea that tints the grids and flares on the beats, with a thin
// news ticker along the bottom. Only its top 384 rows are shown.
Image MakeNews() {
    Image img(kBandW, kBandH);
    Fill(img, [](int x, int y) {
        float v = y / static_cast<float>(kBandRows), u = x / static_cast<float>(kBandW);
        float n = PeriodicFbm(u * 4, v * 2, 4, 4, 201);
        float glow = std::exp(-std::pow((v - 0.56f) / 0.16f, 2.0f)) * (0.75f + 0.5f * n);
        float haze = std::exp(-std::pow((v - 0.56f) / 0.45f, 2.0f));
        Rgba sky = Mix({0.05f, 0.03f, 0.16f, 1}, {0.18f, 0.22f, 0.5f, 1}, Clamp01(v / 0.56f));
        Rgba sea = Mix({0.14f, 0.2f, 0.42f, 1}, {0.01f, 0.05f, 0.12f, 1}, Clamp01((v - 0.56f) / 0.44f));
        Rgba c = v < 0.56f ? sky : sea;
        c = Add(c, {0.25f, 0.35f, 0.55f, 1}, haze * 0.35f);
        c = Add(c, {0.7f, 0.85f, 1.0f, 1}, glow * 0.55f);
        // Light on the water: short streaks below the horizon.
        if (v > 0.56f) {
            float ripple = PeriodicFbm(u * 64, v * 6, 64, 2, 202);
            c = Add(c, {0.6f, 0.8f, 1.0f, 1}, std::pow(ripple, 6.0f) * 2.5f * std::exp(-(v - 0.56f) * 5));
        }
        float scan = (y % 3 == 0) ? 0.88f : 1.0f;
        return Rgba{c.r * scan, c.g * scan, c.b * scan, 1};
    });
    // The moon rising on the horizon.
    SoftDisc(img, 700, 196, 34, 3, {0.85f, 0.92f, 1.0f, 1});
    SoftDisc(img, 700, 196, 80, 60, {0.5f, 0.65f, 1.0f, 0.25f});
    // Ticker: a dark strip with a bright rule above it and the running text.
    for (int y = 338; y < 372; ++y)
        for (int x = 0; x < kBandW; ++x) Over(img.at(x, y), {0.01f, 0.02f, 0.06f, 1}, 0.8f);
    for (int x = 0; x < kBandW; ++x) Over(img.at(x, 337), {0.6f, 0.9f, 1.0f, 1}, 0.9f);
    DrawTextCentred(img, Face::MonoBold, 18, "LIVE  //  SIGNAL FROM THE FAR SIDE  //  105 BPM  //  HALVORINE + QUILL", 512, 355,
                    {0.85f, 0.95f, 1.0f, 1}, 0, kBandWiden);
    return img;
}

// fx05's dim band: violet and teal nebula.
Image MakeFx4() {
    Image img(kBandW, kBandH);
    Fill(img, [](int x, int y) {
        float u = x / 256.0f, v = y / 256.0f;
        float n = PeriodicFbm(u, v, 4, 6, 211), m = PeriodicFbm(u * 2 + n, v * 2, 8, 4, 212);
        Rgba a = Mix({0.02f, 0.0f, 0.06f, 1}, {0.5f, 0.1f, 0.6f, 1}, n * n * 1.5f);
        return Add(a, {0.1f, 0.8f, 0.7f, 1}, std::pow(m, 4.0f) * 1.4f);
    });
    Lcg r(213);
    for (int i = 0; i < 160; ++i) SoftDisc(img, r.Next() * kBandW, r.Next() * kBandRows, 0.6f, 1.2f, {1, 1, 1, 0.8f});
    return img;
}

// fx08's opaque band on white: pale caustics of light under water.
Image MakeUnder() {
    Image img(kBandW, kBandH);
    Fill(img, [](int x, int y) {
        float u = x / 256.0f, v = y / 256.0f;
        float n1 = PeriodicFbm(u * 2, v * 2, 8, 4, 221), n2 = PeriodicFbm(u * 2 + 0.37f, v * 2 + 0.71f, 8, 4, 222);
        float caustic = std::pow(1 - std::fabs(n1 - n2) * 4, 8.0f);
        float depth = y / static_cast<float>(kBandRows);
        Rgba c = Mix({0.82f, 0.95f, 1.0f, 1}, {0.35f, 0.65f, 0.8f, 1}, Clamp01(depth * 0.8f));
        return Add(c, {1, 1, 1, 1}, Clamp01(caustic) * 0.5f);
    });
    return img;
}

// fx09's still picture: a glowing tunnel mouth, fading out to black at the band's edges.
Image MakeTarnel() {
    Image img(kBandW, kBandH);
    Fill(img, [](int x, int y) {
        float dx = (x - 512) / 512.0f, dy = (y - 192) / 192.0f;
        float r = std::sqrt(dx * dx + dy * dy) + 1e-4f, a = std::atan2(dy, dx);
        float depth = 1 / r;
        float rings = std::pow(0.5f + 0.5f * std::sin(depth * 9), 3.0f);
        float spokes = std::pow(0.5f + 0.5f * std::cos(a * 12 + depth * 2), 8.0f);
        float fog = Smooth(0.0f, 0.9f, r);
        Rgba c = Mix({1.0f, 0.9f, 0.6f, 1}, {0.45f, 0.05f, 0.02f, 1}, fog);
        c = Add(c, {1.0f, 0.5f, 0.1f, 1}, rings * 0.5f * fog + spokes * 0.25f * fog);
        float edge = Smooth(0.0f, 60.0f, static_cast<float>(std::min(y, kBandRows - y)));
        return Rgba{c.r, c.g, c.b, y < kBandRows ? 0.35f + 0.65f * edge : 0.0f};
    });
    return img;
}

// fx10's calm picture: dusk over still water, a low sun, ripples below the horizon.
Image MakeShibumi() {
    Image img(kBandW, kBandH);
    constexpr float horizon = 230;
    Fill(img, [&](int x, int y) {
        if (y < horizon) {
            float t = y / horizon;
            Rgba c = Mix({0.1f, 0.1f, 0.3f, 1}, {1.0f, 0.55f, 0.35f, 1}, t * t);
            float sun = std::hypot((x - 640.0f) / kBandWiden, y - 185.0f);  // round on screen
            c = Add(c, {1.0f, 0.85f, 0.6f, 1}, (1 - Smooth(58, 62, sun)) + std::exp(-sun / 90) * 0.4f);
            return c;
        }
        float d = (y - horizon) / (kBandH - horizon);
        float ripple = 0.5f + 0.5f * std::sin((y - horizon) * (y - horizon) * 0.02f + std::sin(x * 0.02f) * 2);
        Rgba c = Mix({0.8f, 0.4f, 0.3f, 1}, {0.05f, 0.05f, 0.15f, 1}, Clamp01(d * 2.5f));
        float glitter = std::exp(-std::fabs(x - 640.0f) / (30 + 200 * d)) * ripple;
        return Add(c, {1.0f, 0.8f, 0.5f, 1}, glitter * 0.7f);
    });
    // Three stones in the water: the stillness the picture is named for.
    for (int i = 0; i < 3; ++i) {
        float cx = 250.0f + i * 70, cy = 300.0f + i * 12;
        for (int y = 0; y < kBandH; ++y)
            for (int x = 0; x < kBandW; ++x) {
                float e = std::hypot((x - cx) / (34.0f - i * 6), (y - cy) / (12.0f - i * 2));
                Over(img.at(x, y), {0.02f, 0.02f, 0.05f, 1}, 1 - Smooth(0.9f, 1.0f, e));
            }
    }
    return img;
}

// flara1 ... flara3: additive flares on black. flara1 is also the sprite drawn three times its size.
Image MakeFlare(int n) {
    int size = n == 1 ? 128 : 256;
    Rgba tint = n == 1 ? Rgba{1.0f, 0.85f, 0.6f, 1} : n == 2 ? Rgba{0.6f, 0.8f, 1.0f, 1} : Rgba{1.0f, 0.6f, 0.85f, 1};
    int rays = n == 1 ? 6 : n == 2 ? 8 : 2;
    Image img(size, size);
    Fill(img, [&](int x, int y) {
        float dx = (x + 0.5f) / size * 2 - 1, dy = (y + 0.5f) / size * 2 - 1;
        float r = std::sqrt(dx * dx + dy * dy), a = std::atan2(dy, dx);
        float fade = 1 - Smooth(0.7f, 1.0f, r);
        float core = std::exp(-r * r * 60), halo = std::exp(-r * 4.5f) * 0.6f;
        float ray = std::pow(std::fabs(std::cos(a * rays * 0.5f)), 60.0f) * std::exp(-r * 3) * 0.8f;
        float ring = n == 2 ? std::exp(-std::pow((r - 0.55f) * 25, 2.0f)) * 0.25f : 0.0f;
        float k = (halo + ray + ring) * fade;
        return Rgba{Clamp01(core + tint.r * k), Clamp01(core + tint.g * k), Clamp01(core + tint.b * k), 1};
    });
    return img;
}

// flarabezinv: fx08's rising point sprite, added at half opacity over a pale picture and mostly
// only 5 ... 20 pixels across: a broad white-cyan core, a soft halo and a faint cross.
Image MakeFlareSprite() {
    Image img(64, 64);
    Fill(img, [](int x, int y) {
        float dx = (x + 0.5f) / 32 - 1, dy = (y + 0.5f) / 32 - 1;
        float r = std::sqrt(dx * dx + dy * dy);
        float cross = std::exp(-std::fabs(dx) * 24) * std::exp(-std::fabs(dy) * 3) + std::exp(-std::fabs(dy) * 24) * std::exp(-std::fabs(dx) * 3);
        float k = (std::exp(-r * r * 7) + std::exp(-r * 3.5f) * 0.35f + cross * 0.35f) * (1 - Smooth(0.8f, 1.0f, r));
        return Rgba{Clamp01(k * 0.9f), Clamp01(k), Clamp01(k * 1.05f), 1};
    });
    return img;
}

// flarainv: the inverse flare that fx07 multiplies into its white frame: a deep blue core, a halo
// and four rays on white.
Image MakeFlareInverse() {
    Image img(128, 128);
    Fill(img, [](int x, int y) {
        float dx = (x + 0.5f) / 64 - 1, dy = (y + 0.5f) / 64 - 1;
        float r = std::sqrt(dx * dx + dy * dy), a = std::atan2(dy, dx);
        // Small and hard-edged: drawn at a fifth and two fifths of their size in overlapping rows, a
        // broad glow would run the flares together into one smear.
        float core = std::exp(-r * r * 90);
        float halo = std::exp(-std::pow((r - 0.3f) / 0.035f, 2.0f)) * 0.45f;
        float ray = std::pow(std::fabs(std::cos(a * 2)), 150.0f) * std::exp(-r * 3.5f) * 0.9f;
        float k = Clamp01(core + halo + ray) * (1 - Smooth(0.8f, 1.0f, r));
        return Rgba{1 - k * 0.85f, 1 - k * 0.65f, 1 - k * 0.2f, 1};
    });
    return img;
}

// pas1: one soft streak of light; the colour is a pale cyan, the shape lives in the alpha. The
// stripes stretch it 20 to 28 times across and wrap at fixed screen positions, so the streak
// lies in texels 5.5 ... 14: off screen when a left-mover jumps back (its x near 700) and when
// either kind wraps out, so no stripe pops in or out in view.
Image MakeStripe() {
    Image img(32, 32);
    Fill(img, [](int x, int y) {
        float dy = (y + 0.5f - 16) / 4.0f;
        float across = Smooth(5.5f, 8.5f, x + 0.5f) * (1 - Smooth(11.0f, 14.0f, x + 0.5f));
        float core = std::exp(-dy * dy) * 0.75f + std::exp(-dy * dy * 12) * 0.25f;
        float white = std::exp(-dy * dy * 6);
        return Rgba{0.8f + 0.2f * white, 0.92f + 0.08f * white, 1.0f, core * across};
    });
    return img;
}

// 8802: a city at dusk on the water, drawn like ink over fx07's white frame. The sky is a faint
// warm wash; the buildings stand on the shore at row 288 (screen y 400) and their reflection fades
// out by row 336, so the bottom row of flares (screen y 432 ... 495) drifts over bare white.
Image MakeSkyline() {
    constexpr int shore = 288, fadeEnd = 336;
    Image img(kBandW, kBandH, {0, 0, 0, 0});
    Fill(img, [](int, int y) {
        float t = Clamp01(y / static_cast<float>(shore));
        Rgba c = Mix({1.0f, 0.96f, 0.9f, 1}, {1.0f, 0.72f, 0.5f, 1}, t * t);
        return Rgba{c.r, c.g, c.b, 0.35f * t * t};
    });
    // Far hills, pale and half transparent.
    for (int x = 0; x < kBandW; ++x) {
        float hill = 232 + 22 * std::sin(x * 0.006f) + 12 * std::sin(x * 0.017f + 1);
        for (int y = static_cast<int>(hill); y < shore; ++y) img.at(x, y) = {0.55f, 0.5f, 0.62f, 0.55f};
    }
    // The buildings: dark with lit windows; a few carry an antenna with a red light.
    Lcg r(231);
    int x = 0;
    while (x < kBandW) {
        int w = 22 + static_cast<int>(r.Next() * 50);
        int top = 110 + static_cast<int>(r.Next() * 150);
        bool antenna = r.Next() < 0.3f;
        float tone = 0.04f + 0.05f * r.Next();
        for (int i = x; i < std::min(kBandW, x + w - 2); ++i)
            for (int y = top; y < shore; ++y) {
                Rgba& p = img.at(i, y);
                p = {tone, tone, tone + 0.08f, 1};
                bool window = ((i - x) % 7 >= 2) && ((i - x) % 7 < 5) && ((y - top) % 11 >= 4) && ((y - top) % 11 < 8);
                if (window && PeriodicNoise(static_cast<float>(i / 7), static_cast<float>(y / 11), 4096, 232) > 0.6f)
                    p = {1.0f, 0.8f, 0.45f, 1};
            }
        if (antenna) {
            int ax = std::min(kBandW - 1, x + w / 2);
            for (int y = top - 36; y < top; ++y) img.at(ax, y) = {tone, tone, tone + 0.08f, 1};
            SoftDisc(img, static_cast<float>(ax), top - 37.0f, 1.5f, 1.5f, {1.0f, 0.15f, 0.1f, 1});
        }
        x += w;
    }
    // The reflection: the rows above the shore mirrored, rippled, darkened and fading out.
    for (int y = shore; y < kBandH; ++y) {
        float fade = 1 - Smooth(static_cast<float>(shore), static_cast<float>(fadeEnd), static_cast<float>(y));
        int src = 2 * shore - y - 1;
        for (int xx = 0; xx < kBandW; ++xx) {
            int sx = std::clamp(xx + static_cast<int>(3 * std::sin(y * 0.9f + xx * 0.02f)), 0, kBandW - 1);
            Rgba c = src >= 0 ? img.at(sx, src) : Rgba{0, 0, 0, 0};
            img.at(xx, y) = {c.r * 0.7f, c.g * 0.75f, c.b * 0.9f + 0.05f, c.a * fade * 0.8f};
        }
    }
    // Soften the silhouette edge a little (the mask is seen at full size on white).
    Image soft = img;
    for (int y = 1; y < kBandH - 1; ++y)
        for (int xx = 1; xx < kBandW - 1; ++xx) {
            float s = 0;
            for (int j = -1; j <= 1; ++j)
                for (int i = -1; i <= 1; ++i) s += img.at(xx + i, y + j).a;
            soft.at(xx, y).a = s / 9;
        }
    return soft;
}

// layerbok: a column of ornaments that tiles vertically (fx01 scrolls it up); brightness is alpha.
Image MakeOrnamentBand() {
    constexpr int w = 256, h = 512;
    Image img(w, h);
    Fill(img, [](int x, int y) {
        float cx = x + 0.5f - 128;
        float py = std::fmod(y + 0.5f, 128.0f) - 64;
        float r = std::hypot(cx, py);
        float ring = std::exp(-std::pow((r - 44) * 0.5f, 2.0f)) + std::exp(-std::pow((r - 30) * 0.8f, 2.0f)) * 0.6f;
        float diamond = std::fabs(cx) + std::fabs(py);
        float dia = std::exp(-std::pow((diamond - 18) * 0.7f, 2.0f));
        float centre = std::exp(-r * r / 20);
        float rails = std::exp(-std::pow((std::fabs(cx) - 110) * 0.6f, 2.0f)) * (0.6f + 0.4f * std::sin(y * kTau / 16));
        float beads = 0;
        float by = std::fmod(y + 64.5f, 128.0f) - 64;
        for (int s : {-1, 1}) beads += std::exp(-(std::pow(cx - s * 80, 2.0f) + by * by) / 30);
        float k = Clamp01(1.5f * (ring + dia * 0.8f + centre + rails * 0.7f + beads));
        return Rgba{k * 0.85f, k * 0.92f, k, 1};
    });
    return img;
}

// qll / hlv: a wide word, twice across a tile that wraps horizontally; brightness is alpha. fx08
// stretches the tile over screen rows 0 ... 255 (qll, whose upper rows the bar hides) or
// 245 ... 500 (hlv), so the word is centred on row centreRow with a rule above and below it.
Image MakeLogoStrip(const std::string& word, uint32_t seed, int centreRow) {
    Image img(1024, 256);
    TextMask m = RenderText(Face::SansBold, 150, word, 6);
    float scale = std::min(1.0f, 420.0f / m.w);
    // Rendered at a size that fits two copies and a gap in the tile.
    if (scale < 1.0f) m = RenderText(Face::SansBold, static_cast<int>(150 * scale), word, 6);
    for (int copy = 0; copy < 2; ++copy)
        DrawText(img, m, copy * 512 + (512 - m.w) / 2, centreRow - m.h / 2, {0.9f, 0.96f, 1.0f, 1}, true);
    const int above = std::max(0, centreRow - m.h / 2 - 8), below = std::min(254, centreRow + m.h / 2 + 6);
    for (int x = 0; x < 1024; ++x) {
        float flicker = 0.5f + 0.5f * PeriodicNoise(x / 16.0f, 0, 64, seed);
        for (int y : {above, above + 1, below, below + 1}) Over(img.at(x, y), {0.7f, 0.85f, 1.0f, 1}, flicker);
    }
    return img;
}

}  // namespace assetgen
