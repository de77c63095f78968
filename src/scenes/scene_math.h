// scene_math.h - the scenes' small arithmetic, kept apart from drawing so it can be checked alone.
// Depends on: nothing.
#pragma once

#include <cstdint>

// White with a quarter of a colour's alpha: ((colour >> 26) << 24) + 0x00FFFFFF.
std::uint32_t QuarterAlphaWhite(std::uint32_t colour);
// fx10's camera height above the flower at demo time t: 200.1 at 47.972 s, falling 20 units per
// second to 10.1 at 57.472 s, then staying there.
float Fx10CameraHeight(float t);
// Mean of the spectrum's first 64 bands; 0 when there is no spectrum (silence).
float SpectrumLevel(const float* spectrum);
