// Resampling, mip reduction and surface-format packing.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/d3dx8/image.h"

namespace velunar::d3dx {
namespace {

struct Tap {
    int index;
    float weight;
};

// For each destination index along one axis, the source texels that feed it, weights summing to 1.
std::vector<std::vector<Tap>> AxisTaps(int srcN, int dstN, Filter filter) {
    std::vector<std::vector<Tap>> taps(static_cast<std::size_t>(dstN));
    const double scale = static_cast<double>(srcN) / dstN;
    const auto clampIdx = [srcN](long i) { return static_cast<int>(std::clamp<long>(i, 0, srcN - 1)); };
    for (int d = 0; d < dstN; ++d) {
        auto& t = taps[static_cast<std::size_t>(d)];
        // Texel centres: destination d sits at source coordinate s.
        const double s = (d + 0.5) * scale - 0.5;
        switch (filter) {
            case Filter::Point:
                t.push_back({clampIdx(static_cast<long>(std::floor((d + 0.5) * scale))), 1.0f});
                break;
            case Filter::Linear: {
                const double i0 = std::floor(s), f = s - i0;
                t.push_back({clampIdx(static_cast<long>(i0)), static_cast<float>(1.0 - f)});
                if (f > 0) t.push_back({clampIdx(static_cast<long>(i0) + 1), static_cast<float>(f)});
                break;
            }
            case Filter::Triangle: {
                const double r = std::max(1.0, scale);
                double sum = 0;
                for (long i = static_cast<long>(std::ceil(s - r)); i <= static_cast<long>(std::floor(s + r)); ++i) {
                    const double w = 1.0 - std::abs(i - s) / r;
                    if (w <= 0) continue;
                    t.push_back({clampIdx(i), static_cast<float>(w)});
                    sum += w;
                }
                for (auto& tap : t) tap.weight = static_cast<float>(tap.weight / sum);
                break;
            }
        }
    }
    return taps;
}

std::uint32_t ToByte(float v) { return static_cast<std::uint32_t>(std::clamp(v + 0.5f, 0.0f, 255.0f)); }

// Ordered dither thresholds 0..15.
constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// 0..255 to 0..maxQ: rounded, or with an ordered-dither offset in place of the rounding.
std::uint32_t Quantise(std::uint32_t v, std::uint32_t maxQ, bool dither, int x, int y) {
    if (!dither) return (v * maxQ + 127) / 255;
    const std::uint32_t t = static_cast<std::uint32_t>(kBayer[y & 3][x & 3]);
    return std::min<std::uint32_t>(maxQ, (v * maxQ * 32 + (2 * t + 1) * 255) / (255 * 32));
}

std::uint32_t Expand(std::uint32_t q, std::uint32_t maxQ) { return (q * 255 + maxQ / 2) / maxQ; }

}  // namespace

int NextPowerOfTwo(int n) {
    int p = 1;
    while (p < n && p < (1 << 30)) p <<= 1;
    return p;
}

Bitmap Resample(const Bitmap& src, int width, int height, Filter filter) {
    Bitmap out;
    out.width = width;
    out.height = height;
    out.hasAlpha = src.hasAlpha;
    if (width <= 0 || height <= 0 || src.width <= 0 || src.height <= 0) {
        out.width = out.height = 0;
        return out;
    }
    if (width == src.width && height == src.height) {
        out.argb = src.argb;
        return out;
    }
    const auto tx = AxisTaps(src.width, width, filter);
    const auto ty = AxisTaps(src.height, height, filter);
    // Horizontal pass into floats (B, G, R, A per texel), then vertical.
    std::vector<float> mid(static_cast<std::size_t>(width) * src.height * 4);
    for (int y = 0; y < src.height; ++y) {
        const std::uint32_t* row = src.argb.data() + static_cast<std::size_t>(y) * src.width;
        float* dst = mid.data() + static_cast<std::size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x) {
            float c[4] = {0, 0, 0, 0};
            for (const Tap& t : tx[static_cast<std::size_t>(x)]) {
                const std::uint32_t p = row[t.index];
                for (int k = 0; k < 4; ++k) c[k] += t.weight * static_cast<float>((p >> (8 * k)) & 0xff);
            }
            std::memcpy(dst + 4 * x, c, sizeof c);
        }
    }
    out.argb.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float c[4] = {0, 0, 0, 0};
            for (const Tap& t : ty[static_cast<std::size_t>(y)]) {
                const float* p = mid.data() + (static_cast<std::size_t>(t.index) * width + x) * 4;
                for (int k = 0; k < 4; ++k) c[k] += t.weight * p[k];
            }
            out.argb[static_cast<std::size_t>(y) * width + x] =
                ToByte(c[0]) | (ToByte(c[1]) << 8) | (ToByte(c[2]) << 16) | (ToByte(c[3]) << 24);
        }
    }
    return out;
}

Bitmap HalveBox(const Bitmap& src) {
    Bitmap out;
    out.width = std::max(1, src.width / 2);
    out.height = std::max(1, src.height / 2);
    out.hasAlpha = src.hasAlpha;
    out.argb.resize(static_cast<std::size_t>(out.width) * out.height);
    const int fx = src.width > 1 ? 2 : 1, fy = src.height > 1 ? 2 : 1;
    const std::uint32_t n = static_cast<std::uint32_t>(fx * fy);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            std::uint32_t sum[4] = {0, 0, 0, 0};
            for (int dy = 0; dy < fy; ++dy)
                for (int dx = 0; dx < fx; ++dx) {
                    const std::uint32_t p =
                        src.argb[static_cast<std::size_t>(y * fy + dy) * src.width + (x * fx + dx)];
                    for (int k = 0; k < 4; ++k) sum[k] += (p >> (8 * k)) & 0xff;
                }
            std::uint32_t px = 0;
            for (int k = 0; k < 4; ++k) px |= ((sum[k] + n / 2) / n) << (8 * k);
            out.argb[static_cast<std::size_t>(y) * out.width + x] = px;
        }
    }
    return out;
}

int BytesPerPixel(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_A8R8G8B8:
        case D3DFMT_X8R8G8B8: return 4;
        case D3DFMT_R8G8B8: return 3;
        case D3DFMT_R5G6B5:
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5:
        case D3DFMT_A4R4G4B4:
        case D3DFMT_X4R4G4B4: return 2;
        default: return 0;
    }
}

void PackRow(const std::uint32_t* src, int count, D3DFORMAT format, bool dither, int y, void* dst) {
    auto* d32 = static_cast<std::uint32_t*>(dst);
    auto* d16 = static_cast<std::uint16_t*>(dst);
    auto* d8 = static_cast<std::uint8_t*>(dst);
    for (int x = 0; x < count; ++x) {
        const std::uint32_t p = src[x];
        const std::uint32_t a = p >> 24, r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
        switch (format) {
            case D3DFMT_A8R8G8B8: d32[x] = p; break;
            case D3DFMT_X8R8G8B8: d32[x] = p | 0xff000000u; break;
            case D3DFMT_R8G8B8:
                d8[3 * x + 0] = static_cast<std::uint8_t>(b);
                d8[3 * x + 1] = static_cast<std::uint8_t>(g);
                d8[3 * x + 2] = static_cast<std::uint8_t>(r);
                break;
            case D3DFMT_R5G6B5:
                d16[x] = static_cast<std::uint16_t>((Quantise(r, 31, dither, x, y) << 11) |
                                                    (Quantise(g, 63, dither, x, y) << 5) | Quantise(b, 31, dither, x, y));
                break;
            case D3DFMT_X1R5G5B5:
            case D3DFMT_A1R5G5B5: {
                const std::uint32_t top = format == D3DFMT_X1R5G5B5 ? 1u : (a >= 128 ? 1u : 0u);
                d16[x] = static_cast<std::uint16_t>((top << 15) | (Quantise(r, 31, dither, x, y) << 10) |
                                                    (Quantise(g, 31, dither, x, y) << 5) | Quantise(b, 31, dither, x, y));
                break;
            }
            case D3DFMT_A4R4G4B4:
            case D3DFMT_X4R4G4B4: {
                const std::uint32_t top = format == D3DFMT_X4R4G4B4 ? 15u : Quantise(a, 15, dither, x, y);
                d16[x] = static_cast<std::uint16_t>((top << 12) | (Quantise(r, 15, dither, x, y) << 8) |
                                                    (Quantise(g, 15, dither, x, y) << 4) | Quantise(b, 15, dither, x, y));
                break;
            }
            default: return;
        }
    }
}

void UnpackRow(const void* src, int count, D3DFORMAT format, std::uint32_t* dst) {
    const auto* s32 = static_cast<const std::uint32_t*>(src);
    const auto* s16 = static_cast<const std::uint16_t*>(src);
    const auto* s8 = static_cast<const std::uint8_t*>(src);
    for (int x = 0; x < count; ++x) {
        std::uint32_t a = 255, r = 0, g = 0, b = 0;
        switch (format) {
            case D3DFMT_A8R8G8B8: dst[x] = s32[x]; continue;
            case D3DFMT_X8R8G8B8: dst[x] = s32[x] | 0xff000000u; continue;
            case D3DFMT_R8G8B8: b = s8[3 * x]; g = s8[3 * x + 1]; r = s8[3 * x + 2]; break;
            case D3DFMT_R5G6B5:
                r = Expand((s16[x] >> 11) & 31, 31); g = Expand((s16[x] >> 5) & 63, 63); b = Expand(s16[x] & 31, 31);
                break;
            case D3DFMT_X1R5G5B5:
            case D3DFMT_A1R5G5B5:
                if (format == D3DFMT_A1R5G5B5) a = (s16[x] & 0x8000) ? 255 : 0;
                r = Expand((s16[x] >> 10) & 31, 31); g = Expand((s16[x] >> 5) & 31, 31); b = Expand(s16[x] & 31, 31);
                break;
            case D3DFMT_A4R4G4B4:
            case D3DFMT_X4R4G4B4:
                if (format == D3DFMT_A4R4G4B4) a = Expand(s16[x] >> 12, 15);
                r = Expand((s16[x] >> 8) & 15, 15); g = Expand((s16[x] >> 4) & 15, 15); b = Expand(s16[x] & 15, 15);
                break;
            default: break;
        }
        dst[x] = (a << 24) | (r << 16) | (g << 8) | b;
    }
}

}  // namespace velunar::d3dx
