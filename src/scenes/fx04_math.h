// fx04_math.h - fx04's arithmetic: the band and the foil following the music, the stripes' pulse.
// Depends on: nothing.
#pragma once

#include <cstdint>

// fx04's band opacity for a music level: 350 m + 55 truncated toward zero, unclamped (the band
// keeps its low eight bits, so levels from 0.5743 wrap round to faint again).
int Fx04BandAlpha(float level);
// fx04's foil brightness for a music level: 2 m + 0.2, unclamped.
float Fx04FoilColour(float level);
// fx04's stripe colour at demo time t: white, alpha 128 |sin(0.3 pi t)| truncated (period 10/3 s).
std::uint32_t Fx04StripeColour(float t);
