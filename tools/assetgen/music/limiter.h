// limiter.h - the master limiter: keeps the interpolated (true) peak of a stereo pair under a ceiling.
// Depends on: loudness.h.
#pragma once

#include <cstddef>
#include <vector>

namespace music {

// Applies a linked-stereo look-ahead limiter in place. ceiling is linear (e.g. FromDb(-1.5));
// lookahead and release in seconds. The gain never rises above 1, and moves smoothly.
void LimitTruePeak(std::vector<float>& left, std::vector<float>& right, double ceiling, double lookahead = 0.005,
                   double release = 0.08);

}  // namespace music
