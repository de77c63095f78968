// crt_rand.cpp - the Microsoft C runtime's linear congruential generator.
#include "core/crt_rand.h"

#include <cstdint>

namespace crt = velunar::crt;

namespace {
std::uint32_t g_state = 1;
crt::RandObserver g_pfnObserver = nullptr;
}  // namespace

namespace velunar::crt {

int rand(const char* caller) {
    // Modulo 2^32 by unsigned wrap-around; the result is bits 16 ... 30 of the new state.
    g_state = g_state * 214013u + 2531011u;
    const int value = static_cast<int>((g_state >> 16) & 0x7fffu);
    if (g_pfnObserver) g_pfnObserver(value, caller);
    return value;
}

void srand(unsigned seed) { g_state = seed; }

unsigned RandState() { return g_state; }

void SetRandObserver(RandObserver observer) { g_pfnObserver = observer; }

}  // namespace velunar::crt
