// typeset.cpp - the pictures made of type: logo, the makers' card, credits, closing image,
// signature and the image-layer strips.
#include <algorithm>
#include <cmath>

#include "text.h"
#include "textures.h"

namespace assetgen {
namespace {

// Grows a coverage mask by `radius` pixels (round brush): outlines and shadows under type.
TextMask Dilate(const TextMask& m, int radius) {
    TextMask out = m;
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            float best = 0;
            for (int j = -radius; j <= radius; ++j)
                for (int i = -radius; i <= radius; ++i) {
                    if (i * i + j * j > radius * radius) continue;
                    int xx = x + i, yy = y + j;
                    if (xx >= 0 && yy >= 0 && xx < m.w && yy < m.h) best = std::max(best, m.at(xx, yy));
                }
            out.cover[static_cast<size_t>(y) * m.w + x] = best;
        }
    return out;
}

void Line(Image& img, int x0, int x1, int y, const Rgba& c) {
    for (int x = std::max(0, x0); x < std::min(img.w, x1); ++x) Over(img.at(x, y), c, 1);
}

}  // namespace

// logo: the show's name with a dark outline, drawn at its own size over fx01.
Image MakeLogo() {
    Image img(256, 128, {0.02f, 0.05f, 0.15f, 0});  // the outline colour, so filtering leaves no fringe
    TextMask name = RenderText(Face::SansBold, 44, "VELUNAR", 1);
    TextMask edge = Dilate(name, 3);
    int x = (256 - name.w) / 2, y = 18;
    DrawText(img, edge, x, y, {0.02f, 0.05f, 0.15f, 0.9f});
    DrawText(img, name, x, y, {0.95f, 0.97f, 1.0f, 1});
    TextMask sub = RenderText(Face::Sans, 15, "halvorine + quill", 3);
    DrawText(img, Dilate(sub, 2), (256 - sub.w) / 2, 86, {0.02f, 0.05f, 0.15f, 0.8f});
    DrawText(img, sub, (256 - sub.w) / 2, 86, {0.6f, 0.85f, 1.0f, 1});
    return img;
}

// hlvqll: the makers' joint card on black, shown whole in the lead-in.
Image MakeMakers() {
    Image img(512, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 512; ++x) {
            float r = std::hypot((x - 256) / 256.0f, (y - 128) / 128.0f);
            img.at(x, y) = {0.03f * (1 - r), 0.05f * (1 - r), 0.1f * std::max(0.0f, 1 - r), 1};
        }
    DrawTextCentred(img, Face::SerifBold, 50, "HALVORINE", 256, 78, {0.95f, 0.92f, 0.85f, 1}, 4);
    DrawTextCentred(img, Face::Serif, 30, "&", 256, 124, {0.9f, 0.7f, 0.4f, 1});
    DrawTextCentred(img, Face::SerifBold, 50, "QUILL", 256, 168, {0.95f, 0.92f, 0.85f, 1}, 4);
    DrawTextCentred(img, Face::Sans, 14, "p r e s e n t", 256, 222, {0.6f, 0.65f, 0.75f, 1});
    Line(img, 120, 220, 124, {0.9f, 0.7f, 0.4f, 0.7f});
    Line(img, 292, 392, 124, {0.9f, 0.7f, 0.4f, 0.7f});
    return img;
}

// cre1 ... cre4: two 256 x 128 panels each (upper, lower), dark type for fx06's white frame.
Image MakeCredits(int n) {
    static const char* panels[4][2][2] = {
        {{"code", "Halvorine"}, {"music", "Quill"}},
        {{"graphics", "Halvorine"}, {"meshes", "Quill"}},
        {{"a show called", "Velunar"}, {"", ""}},
        {{"made with care", "in 2026"}, {"thank you", "for watching"}},
    };
    Image img(256, 256, {0.05f, 0.08f, 0.2f, 0});
    for (int p = 0; p < 2; ++p) {
        const char* role = panels[n - 1][p][0];
        const char* name = panels[n - 1][p][1];
        float top = p * 128.0f;
        if (*role) DrawTextCentred(img, Face::Sans, 18, role, 128, top + 38, {0.25f, 0.35f, 0.55f, 1}, 2);
        if (*name) DrawTextCentred(img, Face::SerifBold, 34, name, 128, top + 78, {0.03f, 0.05f, 0.15f, 1});
        if (*role) Line(img, 78, 178, static_cast<int>(top) + 54, {0.25f, 0.35f, 0.55f, 0.8f});
    }
    return img;
}

// vosk: the closing credits across the band (the band shows the top 384 rows).
Image MakeClosing() {
    Image img(1024, 512, {0, 0, 0, 0});
    for (int y = 0; y < 384; ++y)
        for (int x = 0; x < 1024; ++x) {
            float t = y / 384.0f, r = std::hypot((x - 512) / 512.0f, (y - 170) / 300.0f);
            img.at(x, y) = {0.02f + 0.06f * t, 0.03f + 0.05f * t, 0.1f + 0.15f * (1 - r * 0.7f), 1};
        }
    DrawTextCentred(img, Face::SansBold, 92, "VELUNAR", 512, 110, {0.95f, 0.97f, 1.0f, 1}, 14, kBandWiden);
    DrawTextCentred(img, Face::Sans, 22, "a demo by", 512, 195, {0.6f, 0.7f, 0.9f, 1}, 4, kBandWiden);
    DrawTextCentred(img, Face::SerifBold, 42, "Halvorine  &  Quill", 512, 238, {1.0f, 0.9f, 0.7f, 1}, 0, kBandWiden);
    DrawTextCentred(img, Face::Sans, 18, "code  Halvorine     music  Quill     graphics  Halvorine + Quill", 512, 300,
                    {0.7f, 0.8f, 0.95f, 1}, 0, kBandWiden);
    DrawTextCentred(img, Face::Sans, 16, "thank you for watching", 512, 340, {0.5f, 0.6f, 0.8f, 1}, 3, kBandWiden);
    return img;
}

// pod: the signature card for fx06's lower right; the bar hides its lowest rows, so the mark
// sits in the upper two thirds.
Image MakeSignature() {
    Image img(256, 256, {1, 1, 1, 1});
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            float r = std::hypot(x - 128.0f, y - 90.0f);
            Over(img.at(x, y), {0.1f, 0.15f, 0.3f, 1}, std::exp(-std::pow((r - 62) * 0.6f, 2.0f)));
        }
    DrawTextCentred(img, Face::SerifBold, 54, "H+Q", 128, 88, {0.08f, 0.1f, 0.2f, 1});
    DrawTextCentred(img, Face::Sans, 13, "velunar  2026", 128, 168, {0.3f, 0.35f, 0.5f, 1}, 2);
    return img;
}

// The image-layer strips: four strips of 64 rows (boundaries 0, 64, 128, 192, 256), bright on
// black for additive drawing, each seamless across the 1024 columns it wraps on.
Image MakeLayerStrips(int n) {
    Image img(1024, 256);
    auto row = [&](int strip, Face face, int size, const std::string& text, const Rgba& c) {
        TextMask m = RenderText(face, size, text, 2);
        int copies = std::max(1, 1024 / std::max(1, m.w));
        float step = 1024.0f / copies;
        for (int i = 0; i < copies; ++i)
            DrawText(img, m, static_cast<int>(i * step), strip * 64 + (64 - m.h) / 2, c, true);
    };
    if (n == 1) {
        row(0, Face::SansBold, 40, "VELUNAR  *  ", {0.9f, 0.95f, 1.0f, 1});
        row(1, Face::MonoBold, 20, "HALVORINE + QUILL  ::  105 BPM  ::  ", {0.6f, 0.9f, 1.0f, 1});
        row(2, Face::Serif, 34, "the moon keeps time  ~  ", {1.0f, 0.85f, 0.6f, 1});
        row(3, Face::SansCondensedBold, 26, "PLANES  OF  LIGHT  /  ", {0.8f, 0.7f, 1.0f, 1});
        return img;
    }
    for (int x = 0; x < 1024; ++x) {
        float u = x / 1024.0f;
        // Strip 0: a sine trace; 1: chevrons; 2: a bar code; 3: a dotted rule.
        float wave = 32 + 18 * std::sin(u * 6.2831853f * 8);
        for (int y = 2; y < 62; ++y) {
            Rgba& p = img.at(x, y);
            Over(p, {0.6f, 1.0f, 0.8f, 1}, std::exp(-std::pow((y - wave) * 0.5f, 2.0f)));
        }
        for (int y = 66; y < 126; ++y) {
            float d = std::fabs(std::fmod(x + std::fabs(y - 96.0f) * 1.0f, 32.0f) - 16);
            Over(img.at(x, y), {1.0f, 0.7f, 0.3f, 1}, 1 - Smooth(2, 4, d));
        }
        float bar = PeriodicNoise(x / 4.0f, 0.5f, 256, 241) > 0.55f ? 1.0f : 0.0f;
        for (int y = 136; y < 184; ++y) Over(img.at(x, y), {0.85f, 0.9f, 1.0f, 1}, bar);
        for (int y = 194; y < 254; ++y) {
            float dx = std::fmod(x, 16.0f) - 8, dy = y - 224.0f;
            Over(img.at(x, y), {0.7f, 0.75f, 1.0f, 1}, 1 - Smooth(2.5f, 4, std::hypot(dx, dy)));
        }
    }
    return img;
}

}  // namespace assetgen
