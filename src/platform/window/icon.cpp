// icon.cpp - the window icon: a small crescent moon over a dark sky, drawn here rather than
// shipped as a file.
#include <cmath>

#include "platform/window/window_internal.h"

namespace velunar::window::detail {

SDL_Surface* CreateIconSurface() {
    constexpr int kSize = 32;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, kSize, kSize, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!s) return nullptr;
    auto* px = static_cast<Uint32*>(s->pixels);
    const int pitch = s->pitch / 4;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float fx = static_cast<float>(x) + 0.5f, fy = static_cast<float>(y) + 0.5f;
            // The crescent: inside the moon disc, outside the disc that shades it.
            const float moon = std::hypot(fx - 16.0f, fy - 16.0f);
            const float shade = std::hypot(fx - 22.0f, fy - 12.0f);
            Uint32 argb = 0xff101830u;
            if (moon < 13.0f && shade > 11.0f) {
                argb = 0xfff0e0a0u;
            } else if (moon < 14.0f && shade > 10.0f) {
                argb = 0xff807050u;
            }
            px[y * pitch + x] = argb;
        }
    }
    return s;
}

}  // namespace velunar::window::detail
