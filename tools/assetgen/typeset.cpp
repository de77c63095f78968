// typeset.cpp - the pictures made of type: logo, the makers' card, credits, closing image,
// signature and the image-layer strips.
#include <algorithm>
#include <cmath>

#include "text.h"
#include "textures.h"

namespace assetgen {
namespace {

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
// fx06 centres them on the screen as: left column cre1 upper, cre2 upper, cre1 lower, cre2 lower
// at x 128, 95, 100, 138 (so names stay within 190 pixels); right column cre3 upper at (660, 170)
// and cre4 upper at (695, 225), only 55 rows apart, so each is a single line, and cre4 lower at
// (675, 355) above the signature. cre3's lower panel is never shown.
Image MakeCredits(int n) {
    const Rgba ink{0.03f, 0.05f, 0.15f, 1}, soft{0.25f, 0.35f, 0.55f, 1};
    Image img(256, 256, {0.05f, 0.08f, 0.2f, 0});  // the ink's colour, so filtering leaves no fringe
    auto role = [&](int panel, const char* role, const char* name) {
        float top = panel * 128.0f;
        DrawTextCentred(img, Face::Sans, 16, role, 128, top + 44, soft, 2);
        Line(img, 88, 168, static_cast<int>(top) + 56, {0.25f, 0.35f, 0.55f, 0.8f});
        DrawTextCentred(img, Face::SerifBold, 32, name, 128, top + 78, ink);
    };
    switch (n) {
        case 1:
            role(0, "code", "Halvorine");
            role(1, "pictures", "Halvorine");
            break;
        case 2:
            role(0, "music", "Quill");
            role(1, "meshes & synth", "Quill");
            break;
        case 3:
            DrawTextCentred(img, Face::SansBold, 38, "VELUNAR", 128, 64, ink, 6);
            DrawTextCentred(img, Face::Sans, 14, "released in 2026", 128, 192, soft, 2);
            break;
        default:
            DrawTextCentred(img, Face::Sans, 15, "by Halvorine & Quill", 128, 64, soft, 1);
            DrawTextCentred(img, Face::SerifBold, 28, "thank you", 128, 128 + 50, ink);
            DrawTextCentred(img, Face::Sans, 15, "for watching", 128, 128 + 80, soft, 3);
            break;
    }
    return img;
}

// vosk: the closing credits across the band (the band shows the top 384 rows), under a night sky
// with a crescent moon; round shapes are drawn kBandWiden wider so they look round on screen.
Image MakeClosing() {
    Image img(1024, 512, {0, 0, 0, 0});
    for (int y = 0; y < 384; ++y)
        for (int x = 0; x < 1024; ++x) {
            float t = y / 384.0f, r = std::hypot((x - 512) / 512.0f, (y - 170) / 300.0f);
            img.at(x, y) = {0.02f + 0.06f * t, 0.03f + 0.05f * t, 0.1f + 0.15f * (1 - r * 0.7f), 1};
        }
    // Stars: a fixed scatter, fainter towards the horizon.
    auto hash = [](uint32_t v) {
        v ^= v >> 16, v *= 0x7feb352du, v ^= v >> 15, v *= 0x846ca68bu, v ^= v >> 16;
        return (v >> 8) / 16777216.0f;
    };
    for (uint32_t i = 0; i < 220; ++i) {
        float sx = hash(3 * i + 301) * 1024, sy = hash(3 * i + 302) * 384;
        float b = 0.3f + 0.7f * hash(3 * i + 303);
        float k = b * (1 - sy / 420);
        for (int y = std::max(0, static_cast<int>(sy) - 2); y <= std::min(383, static_cast<int>(sy) + 2); ++y)
            for (int x = std::max(0, static_cast<int>(sx) - 3); x <= std::min(1023, static_cast<int>(sx) + 3); ++x) {
                float d = std::hypot((x - sx) / kBandWiden, y - sy);
                Over(img.at(x, y), {0.85f, 0.9f, 1.0f, 1}, k * std::exp(-d * d * 1.5f));
            }
    }
    // The crescent: a lit disc with a darker one over it, and a faint halo.
    const float mx = 935, my = 62, mr = 30;
    for (int y = 0; y < 200; ++y)
        for (int x = 760; x < 1024; ++x) {
            float d = std::hypot((x - mx) / kBandWiden, y - my);
            float dd = std::hypot((x - mx - 12 * kBandWiden) / kBandWiden, y - my + 5);
            float disc = 1 - Smooth(mr - 1, mr + 1, d);
            float lit = disc * Smooth(mr - 3, mr + 1, dd);
            Over(img.at(x, y), {0.6f, 0.7f, 1.0f, 1}, 0.18f * std::exp(-std::pow(std::max(0.0f, d - mr) / 28, 2.0f)));
            Over(img.at(x, y), {0.35f, 0.4f, 0.6f, 1}, disc * 0.25f);  // earthshine on the dark side
            Over(img.at(x, y), {1.0f, 0.95f, 0.82f, 1}, lit);
        }
    DrawTextCentred(img, Face::SansBold, 92, "VELUNAR", 512, 110, {0.95f, 0.97f, 1.0f, 1}, 14, kBandWiden);
    DrawTextCentred(img, Face::Sans, 22, "a demo by", 512, 195, {0.6f, 0.7f, 0.9f, 1}, 4, kBandWiden);
    DrawTextCentred(img, Face::SerifBold, 42, "Halvorine  &  Quill", 512, 238, {1.0f, 0.9f, 0.7f, 1}, 0, kBandWiden);
    DrawTextCentred(img, Face::Sans, 18, "code  Halvorine     music  Quill     pictures  Halvorine     meshes  Quill", 512, 300,
                    {0.7f, 0.8f, 0.95f, 1}, 0, kBandWiden);
    DrawTextCentred(img, Face::Sans, 16, "thank you for watching", 512, 340, {0.5f, 0.6f, 0.8f, 1}, 3, kBandWiden);
    return img;
}

// pod: the signature for fx06's lower right, drawn centred at (672, 450): rows 0 ... 177 are
// on screen, and the credit above it reaches down to row 60, so the mark sits in rows 100 ... 176.
Image MakeSignature() {
    Image img(256, 256, {1, 1, 1, 1});
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            float r = std::hypot(x - 128.0f, y - 138.0f);
            Over(img.at(x, y), {0.1f, 0.15f, 0.3f, 1}, std::exp(-std::pow((r - 36) * 0.9f, 2.0f)));
        }
    DrawTextCentred(img, Face::SerifBold, 24, "H+Q", 128, 138, {0.08f, 0.1f, 0.2f, 1});
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
    // Strip 0: the moon through its phases, eight to a turn of the strip.
    for (int k = 0; k < 8; ++k) {
        const float cx = 64 + 128 * k, cy = 32, r = 22;
        const float phase = 0.7f + k * (6.2831853f - 1.4f) / 7;  // crescent to crescent through full
        for (int y = 2; y < 62; ++y)
            for (int x = static_cast<int>(cx) - 40; x < static_cast<int>(cx) + 40; ++x) {
                const float dx = x + 0.5f - cx, dy = y + 0.5f - cy, d = std::hypot(dx, dy);
                Rgba& p = img.at((x + 1024) % 1024, y);
                // A faint halo, then the disc: the lit side bounded by the terminator.
                Over(p, {0.25f, 0.35f, 0.6f, 1}, 0.35f * std::exp(-std::pow(std::max(0.0f, d - r) / 7, 2.0f)));
                const float cover = 1 - Smooth(r - 1, r + 0.5f, d);
                if (cover <= 0) continue;
                const float half = std::sqrt(std::max(0.0f, r * r - dy * dy));
                const float edge = std::cos(phase) * half;
                const float side = phase < 3.1415927f ? dx - edge : -dx - edge;
                const float lit = Smooth(-1.5f, 1.5f, side);
                const float craters = PeriodicFbm(x / 12.0f, y / 12.0f, 1024 / 12, 3, 231 + k);
                const float limb = 0.75f + 0.25f * std::sqrt(std::max(0.0f, 1 - d * d / (r * r)));
                const float tone = (0.55f + 0.45f * craters) * limb;
                const Rgba day{0.92f * tone, 0.94f * tone, 1.0f * tone, 1}, night{0.05f, 0.07f, 0.12f, 1};
                Over(p, Mix(night, day, lit), cover);
            }
    }
    for (int x = 0; x < 1024; ++x) {
        // Strip 1: chevrons pointing the way the band runs.
        for (int y = 66; y < 126; ++y) {
            float d = std::fabs(std::fmod(x + std::fabs(y - 96.0f) * 1.0f, 32.0f) - 16);
            Over(img.at(x, y), {1.0f, 0.7f, 0.3f, 1}, 1 - Smooth(2, 4, d));
        }
        // Strip 2: two mountain ranges against a glow behind them, a mast with a light now and then.
        const float far = 160 - 24 * PeriodicFbm(x / 128.0f, 2.5f, 8, 3, 243);
        const float near = 186 - 50 * std::pow(PeriodicFbm(x / 64.0f, 0.5f, 16, 4, 241), 1.5f);
        const bool mast = x % 256 == 90 || x % 256 == 91;
        const float mastTop = near - 22;
        for (int y = 130; y < 190; ++y) {
            Rgba& p = img.at(x, y);
            const float fy = y + 0.5f;
            Over(p, {0.45f, 0.2f, 0.55f, 1}, 0.45f * Smooth(130, 190, fy));
            if (fy > far) Over(p, {0.16f, 0.08f, 0.26f, 1}, 1);
            else Over(p, {1.0f, 0.5f, 0.7f, 1}, 0.6f * std::exp(-(far - fy) / 2.5f));
            if (fy > near || (mast && fy > mastTop)) Over(p, {0.02f, 0.01f, 0.04f, 1}, 1);
            else Over(p, {1.0f, 0.65f, 0.3f, 1}, std::exp(-(near - fy) / 3.0f));
        }
        if (x % 256 >= 87 && x % 256 <= 94)
            for (int y = static_cast<int>(mastTop) - 4; y < static_cast<int>(mastTop) + 3; ++y)
                if (y >= 130) Over(img.at(x, y), {1.0f, 0.2f, 0.15f, 1}, 1 - Smooth(1.5f, 3.5f, std::hypot(x % 256 - 90.5f, y + 0.5f - mastTop + 1)));
        // Strip 3: a level meter, sixty-four columns of lit segments rising from the floor.
        const int column = x / 16;
        const float level = 0.15f + 0.85f * std::pow(PeriodicNoise(column * 0.37f, 3.5f, 24, 242), 1.6f);
        const bool inColumn = x % 16 >= 2 && x % 16 < 14;
        for (int y = 196; y < 252; ++y) {
            const float h = (252 - y) / 56.0f;
            if (!inColumn || h > level || (252 - y) % 4 == 0) continue;
            Over(img.at(x, y), Mix({0.2f, 0.9f, 1.0f, 1}, {1.0f, 0.3f, 0.85f, 1}, h), 1);
        }
    }
    return img;
}

}  // namespace assetgen
