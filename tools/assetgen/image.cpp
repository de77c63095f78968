// image.cpp - the working picture and its pure helpers.
#include "image.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

Image::Image(int width, int height, Rgba fill) : w(width), h(height), px(static_cast<size_t>(width) * height, fill) {}

float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

float Smooth(float e0, float e1, float x) {
    float t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

Rgba Mix(const Rgba& a, const Rgba& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Rgba Add(const Rgba& a, const Rgba& b, float k) { return {a.r + b.r * k, a.g + b.g * k, a.b + b.b * k, a.a}; }

Rgba Image::SampleWrap(float x, float y) const {
    float fx = std::floor(x), fy = std::floor(y);
    float tx = x - fx, ty = y - fy;
    auto wrap = [](int v, int n) { return ((v % n) + n) % n; };
    int x0 = wrap(static_cast<int>(fx), w), y0 = wrap(static_cast<int>(fy), h);
    int x1 = (x0 + 1) % w, y1 = (y0 + 1) % h;
    return Mix(Mix(at(x0, y0), at(x1, y0), tx), Mix(at(x0, y1), at(x1, y1), tx), ty);
}

static uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return h;
}

float PeriodicNoise(float x, float y, int period, uint32_t seed) {
    float fx = std::floor(x), fy = std::floor(y);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    auto cell = [&](int cx, int cy) {
        uint32_t ux = static_cast<uint32_t>(((cx % period) + period) % period);
        uint32_t uy = static_cast<uint32_t>(((cy % period) + period) % period);
        return (Hash(ux, uy, seed) & 0xffffff) / 16777215.0f;
    };
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float a = cell(ix, iy), b = cell(ix + 1, iy), c = cell(ix, iy + 1), d = cell(ix + 1, iy + 1);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float PeriodicFbm(float x, float y, int period, int octaves, uint32_t seed) {
    float sum = 0, weight = 0.5f, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += PeriodicNoise(x, y, period, seed + static_cast<uint32_t>(o) * 101u) * weight;
        total += weight;
        x *= 2;
        y *= 2;
        period *= 2;
        weight *= 0.5f;
    }
    return sum / total;
}

void Over(Rgba& dst, const Rgba& c, float cover) {
    cover = Clamp01(cover * c.a);
    dst.r += (c.r - dst.r) * cover;
    dst.g += (c.g - dst.g) * cover;
    dst.b += (c.b - dst.b) * cover;
    dst.a = dst.a + cover * (1 - dst.a);
}

void SoftDisc(Image& img, float cx, float cy, float r, float soft, const Rgba& c) {
    int x0 = std::max(0, static_cast<int>(cx - r - soft - 1)), x1 = std::min(img.w - 1, static_cast<int>(cx + r + soft + 1));
    int y0 = std::max(0, static_cast<int>(cy - r - soft - 1)), y1 = std::min(img.h - 1, static_cast<int>(cy + r + soft + 1));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            Over(img.at(x, y), c, 1 - Smooth(r, r + soft, d));
        }
}

Image Downscale(const Image& src, int factor) {
    Image out(src.w / factor, src.h / factor);
    float inv = 1.0f / (factor * factor);
    for (int y = 0; y < out.h; ++y)
        for (int x = 0; x < out.w; ++x) {
            Rgba s{0, 0, 0, 0};
            for (int j = 0; j < factor; ++j)
                for (int i = 0; i < factor; ++i) {
                    const Rgba& p = src.at(x * factor + i, y * factor + j);
                    s.r += p.r; s.g += p.g; s.b += p.b; s.a += p.a;
                }
            out.at(x, y) = {s.r * inv, s.g * inv, s.b * inv, s.a * inv};
        }
    return out;
}

static uint8_t Byte(float v) { return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0f)); }

std::vector<uint8_t> ToBytes(const Image& img, bool withAlpha) {
    std::vector<uint8_t> out;
    out.reserve(img.px.size() * (withAlpha ? 4 : 3));
    for (const Rgba& p : img.px) {
        out.push_back(Byte(p.r));
        out.push_back(Byte(p.g));
        out.push_back(Byte(p.b));
        if (withAlpha) out.push_back(Byte(p.a));
    }
    return out;
}

std::vector<uint8_t> AlphaBytes(const Image& img) {
    std::vector<uint8_t> out;
    out.reserve(img.px.size());
    for (const Rgba& p : img.px) out.push_back(Byte(p.a));
    return out;
}

}  // namespace assetgen
