// crt_rand.cpp - the Microsoft C runtime's linear congruential generator.
#include "core/crt_rand.h"

#include <cstdint>

namespace {
std::uint32_t g_state = 1;
}

namespace crt {

int rand() {
    // Modulo 2^32 by unsigned wrap-around; the result is bits 16 ... 30 of the new state.
    g_state = g_state * 214013u + 2531011u;
    return static_cast<int>((g_state >> 16) & 0x7fffu);
}

void srand(unsigned seed) { g_state = seed; }

}  // namespace crt
