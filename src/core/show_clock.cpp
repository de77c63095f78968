// show_clock.cpp - demo time from the demo clock and back.
#include "core/show_clock.h"

#include <cmath>

float DemoTimeOf(DWORD clockMs) {
    const float t0 = static_cast<float>(clockMs * 0.001);
    return t0 - kLeadInSeconds;
}

DWORD DemoClockMsFor(double seconds) {
    // The small nudge keeps a time written in decimals (27.345) on its own millisecond.
    return static_cast<DWORD>(std::floor((seconds - kShowStart) * 1000.0 + 1e-6));
}
