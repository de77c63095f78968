// fx05_math.h - fx05's arithmetic: the bands of transparency travelling across its grid.
// Depends on: nothing.
#pragma once

#include <cstdint>

// fx05's travelling wave: white with alpha 1.3 B, B = 128 |sin(0.1 pi (0.01 ms + index))|, each
// truncated; index is a grid column or row. Ten indices per period, moving ten a second.
std::uint32_t Fx05WaveColour(float ms, int index);
