// crt_rand.h - the program's own runtime-compatible random numbers: the classic Microsoft C
// runtime generator, so the scene inits draw the same fixed sequence on every platform.
// Depends on: nothing.
#pragma once

namespace velunar::crt {

constexpr int kRandMax = 0x7fff;

// 0 ... kRandMax; the state starts at seed 1, as the runtime's does before any srand. `caller`,
// the name of the drawing function, is for the observer only.
int rand(const char* caller = __builtin_FUNCTION());
void srand(unsigned seed);
// The generator's whole state: srand with it continues the sequence from here.
unsigned RandState();

// Sees every draw, with its value and the function that drew it. Tests pin the start-up sequence
// with it; null in the show, where it costs one test of a pointer per draw.
using RandObserver = void (*)(int value, const char* caller);
void SetRandObserver(RandObserver observer);

}  // namespace velunar::crt
