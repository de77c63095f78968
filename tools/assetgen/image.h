// image.h - the generator's working picture: linear RGBA floats in 0 ... 1, rows top to bottom,
// plus the small pure helpers the texture generators are built from.
// Depends on: the C++ standard library only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

struct Rgba {
    float r = 0, g = 0, b = 0, a = 1;
};

struct Image {
    int w = 0, h = 0;
    std::vector<Rgba> px;

    Image() = default;
    Image(int width, int height, Rgba fill = {0, 0, 0, 1});
    Rgba& at(int x, int y) { return px[static_cast<size_t>(y) * w + x]; }
    const Rgba& at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
    // Bilinear sample in pixel units; wraps in both directions, so tileable sources stay seamless.
    Rgba SampleWrap(float x, float y) const;
};

// A full turn in radians.
constexpr float kTau = 6.28318530718f;

float Clamp01(float v);
float Smooth(float e0, float e1, float x);
Rgba Mix(const Rgba& a, const Rgba& b, float t);
// Light added: a + b x k in each colour channel, unclamped; the alpha stays a's.
Rgba Add(const Rgba& a, const Rgba& b, float k);

// Lattice value noise with integer period p (cells) in both axes, so the result tiles exactly;
// x, y in cells, result in 0 ... 1.
float PeriodicNoise(float x, float y, int period, uint32_t seed);
// Sum of `octaves` periodic noises, each twice the frequency and half the weight; 0 ... 1.
float PeriodicFbm(float x, float y, int period, int octaves, uint32_t seed);

// Composites colour c with coverage `cover` (0 ... 1) over the pixel, keeping the pixel's alpha
// as the union of both.
void Over(Rgba& dst, const Rgba& c, float cover);

// Soft disc: coverage 1 inside radius r, falling to 0 over `soft` pixels.
void SoftDisc(Image& img, float cx, float cy, float r, float soft, const Rgba& c);

// Box-filtered downscale by an integer factor; used to supersample hard-edged drawings.
Image Downscale(const Image& src, int factor);

// 8-bit conversion with rounding; alpha is kept when `withAlpha` (4 bytes per pixel) else dropped.
std::vector<uint8_t> ToBytes(const Image& img, bool withAlpha);
// The alpha channel alone as 8-bit grey (the alpha images of colour + alpha pairs).
std::vector<uint8_t> AlphaBytes(const Image& img);

}  // namespace assetgen
