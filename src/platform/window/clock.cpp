// clock.cpp - the wall clock and the offscreen modes' virtual clock behind timeGetTime.
#include "platform/window/clock.h"

#include <ctime>

namespace {
bool g_virtualOn = false;
DWORD g_virtualMs = 0;
}  // namespace

DWORD timeGetTime() {
    if (g_virtualOn) return g_virtualMs;
    // Milliseconds since boot, like the original timer; wraps after 49.7 days as it does there.
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const unsigned long long ms =
        static_cast<unsigned long long>(ts.tv_sec) * 1000ULL + static_cast<unsigned long long>(ts.tv_nsec) / 1000000ULL;
    return static_cast<DWORD>(ms);
}

namespace velunar::clock {
void UseVirtual(bool on) { g_virtualOn = on; }
void SetVirtualTime(DWORD ms) { g_virtualMs = ms; }
}  // namespace velunar::clock
