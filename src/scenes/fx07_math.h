// fx07_math.h - fx07's arithmetic: the drifting flares, drawn from the start-up sequence.
// Depends on: the runtime-compatible rand (the init draws from the start-up sequence).
#pragma once

// One drifting flare: base x (pixels, wraps by 810), fixed centre y, speed factor (the flare
// moves 100 x speed pixels per second of demo time).
struct DriftFlare {
    float x;
    float y;
    float speed;
};

constexpr int kFx07Flares = 150;
// Past this drawn x a flare's base goes back by the same amount.
constexpr float kFlareWrap = 810.0f;

// Six rand draws per index, in order: the top flare's x, y, speed, then the bottom flare's.
// Top: x 0..799, y 115..122, speed 0.2..0.893. Bottom: x 0..799, y 457..470, speed 0.2..1.19.
void InitDriftFlares(DriftFlare* top, DriftFlare* bottom, int count);
// Drawn x at u = 100 x t: u x speed + x.
float FlareX(const DriftFlare& f, float u);
// Takes 810 off the base once when the drawn x lies beyond 810 (strictly).
void WrapFlare(DriftFlare& f, float u);
