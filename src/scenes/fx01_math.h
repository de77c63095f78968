// fx01_math.h - fx01's arithmetic: the music level of its render target, the pulse across the grid
// columns, and the band that scrolls in at 18.301 s.
// Depends on: the shared music level.
#pragma once

#include <cstdint>

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
