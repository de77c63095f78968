// clock.h - timeGetTime, the millisecond clock a window run hands the frame tick, and the clock of
// the frame-rate statistics and the sound. It reads the wall clock (a monotonic clock, never 0 in
// practice) unless the offscreen modes switch to a virtual clock, which returns exactly the value
// they last set, so the sound follows the frames they render.
// Depends on: wintypes.h.
#pragma once

#include "platform/wintypes.h"

DWORD timeGetTime();

namespace velunar::clock {
void UseVirtual(bool on);
void SetVirtualTime(DWORD ms);
}  // namespace velunar::clock
