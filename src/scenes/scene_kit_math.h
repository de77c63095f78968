// scene_kit_math.h - the arithmetic several scenes share: the music level they read from the
// spectrum and the alpha rewrite of a translucent grid pass.
// Depends on: nothing.
#pragma once

#include <cstdint>

// Mean of the spectrum's first 64 bands; 0 when there is no spectrum (silence).
float SpectrumLevel(const float* spectrum);
// White with a quarter of a colour's alpha: ((colour >> 26) << 24) + 0x00FFFFFF.
std::uint32_t QuarterAlphaWhite(std::uint32_t colour);
