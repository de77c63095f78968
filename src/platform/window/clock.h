// clock.h - timeGetTime, the millisecond clock of the demo and its frame-rate statistics.
// It reads the wall clock (a monotonic clock, never 0 in practice) unless the offscreen modes
// switch to a virtual clock, which returns exactly the value they last set.
// Depends on: wintypes.h.
#pragma once

#include "platform/wintypes.h"

DWORD timeGetTime();

namespace velunar::clock {
void UseVirtual(bool on);
bool IsVirtual();
void SetVirtualTime(DWORD ms);
}  // namespace velunar::clock
