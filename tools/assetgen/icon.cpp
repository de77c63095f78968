// icon.cpp - the menu icon, made from the pictures the show itself shows.
#include "icon.h"

#include <algorithm>
#include <cmath>

#include "imagefile.h"
#include "text.h"
#include "textures.h"

namespace assetgen {

Image MakeIcon(int size) {
    constexpr int kSuper = 4;
    const int n = size * kSuper;
    const Image tile = MakeStq(1);
    const Image flare = MakeFlare(2);
    Image img(n, n, {0.02f, 0.05f, 0.15f, 0});
    // Corner radius and margin as fractions of the side, so every size has the same shape.
    const float margin = n * 0.04f, radius = n * 0.18f, side = n - 2 * margin;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            // Signed distance outside the rounded square, in pixels of the large drawing.
            const float qx = std::max(std::fabs(x + 0.5f - n * 0.5f) - (side * 0.5f - radius), 0.0f);
            const float qy = std::max(std::fabs(y + 0.5f - n * 0.5f) - (side * 0.5f - radius), 0.0f);
            const float outside = std::hypot(qx, qy) - radius;
            const float cover = Clamp01(0.5f - outside / kSuper);
            if (cover <= 0) continue;
            // Four of the tile's glowing cells across the icon, darkened towards the rim.
            const float u = (x - margin) / side, v = (y - margin) / side;
            Rgba c = tile.SampleWrap(u * tile.w * 0.5f, v * tile.h * 0.5f);
            const float rim = std::hypot(u - 0.5f, v - 0.5f);
            const float shade = 0.35f + 0.65f * (1 - Smooth(0.2f, 0.75f, rim));
            c = {c.r * shade, c.g * shade, c.b * shade, 1};
            const Rgba f = flare.SampleWrap(u * flare.w, v * flare.h);
            c = Add(c, f, 0.9f);
            c = {Clamp01(c.r), Clamp01(c.g), Clamp01(c.b), 1};
            Over(img.at(x, y), c, cover);
            img.at(x, y).a = cover;
        }
    // The logo's first letter: white with its dark outline.
    const TextMask v = RenderText(Face::SansBold, static_cast<int>(n * 0.62f), "V");
    const TextMask edge = Dilate(v, std::max(1, n / 48));
    const int tx = (n - v.w) / 2, ty = (n - v.h) / 2 + n / 40;
    DrawText(img, edge, tx, ty, {0.02f, 0.05f, 0.15f, 0.9f});
    DrawText(img, v, tx, ty, {0.95f, 0.97f, 1.0f, 1});
    return Downscale(img, kSuper);
}

bool WriteIcons(const std::string& dir) {
    bool ok = true;
    for (int size : {48, 128, 256})
        ok = WritePng(dir + "/velunar-" + std::to_string(size) + ".png", MakeIcon(size), true) && ok;
    return ok;
}

}  // namespace assetgen
