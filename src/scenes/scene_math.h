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
