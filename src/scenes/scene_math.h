// scene_math.h - the scenes' small arithmetic, kept apart from drawing so it can be checked alone.
// Depends on: nothing.
#pragma once

#include <cstdint>

// fx10's camera height above the flower at demo time t: 200.1 at 47.972 s, falling 20 units per
// second to 10.1 at 57.472 s, then staying there.
float Fx10CameraHeight(float t);

// fx01's level a: the mean of the spectrum's first 64 bands scaled to 0 ... 255 and truncated;
// 0 when there is no spectrum.
int Fx01Level(const float* spectrum);
// fx01's pulse colour of grid column `column`: white with alpha truncate(128 |sin((ms 0.01 +
// column + offset) 0.1 pi)|), a wave that travels across the columns.
std::uint32_t Fx01PulseColour(float ms, unsigned column, int offset);
// fx01's band from 18.301 s on: alpha 15 rising to 193 over 1.4 s, and the top texture row
// scrolling one texture height every 9 s. Before 18.301 s the alpha is 0 and the top 0.
int Fx01BandAlpha(float t);
double Fx01BandTop(float t);
// fx02's level L: the square of the mean of the spectrum's first 128 bands; 0 without a spectrum.
float Fx02Level(const float* spectrum);
// fx04's band opacity for a music level: 350 m + 55 truncated toward zero, unclamped (the band
// keeps its low eight bits, so levels from 0.5743 wrap round to faint again).
int Fx04BandAlpha(float level);
// fx04's foil brightness for a music level: 2 m + 0.2, unclamped.
float Fx04FoilColour(float level);
// fx04's stripe colour at demo time t: white, alpha 128 |sin(0.3 pi t)| truncated (period 10/3 s).
std::uint32_t Fx04StripeColour(float t);
// fx05's travelling wave: white with alpha 1.3 B, B = 128 |sin(0.1 pi (0.01 ms + index))|, each
// truncated; index is a grid column or row. Ten indices per period, moving ten a second.
std::uint32_t Fx05WaveColour(float ms, int index);
