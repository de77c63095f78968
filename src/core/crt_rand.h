// crt_rand.h - the program's own runtime-compatible random numbers: the classic Microsoft C
// runtime generator, so the scene inits draw the same fixed sequence on every platform.
// Depends on: nothing.
#pragma once

namespace crt {

constexpr int kRandMax = 0x7fff;

// 0 ... kRandMax; the state starts at seed 1, as the runtime's does before any srand.
int rand();
void srand(unsigned seed);

}  // namespace crt
