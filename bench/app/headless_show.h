// headless_show.h - the show started offscreen on the virtual clock, as the whole-show benchmarks
// drive it: the runnable tree as the current folder, no vsync, frames ticked at chosen demo times.
// Depends on: app (InitDemo, FrameTick), the window, clock, device and sound layers.
#pragma once

#include "core/globals.h"

namespace velunar::bench {

// Virtual milliseconds of the first frame; the show's clock starts there.
constexpr DWORD kBase = 1000;

// The runnable tree, offscreen drivers, virtual clocks and an 800 x 600 offscreen window.
bool OpenHeadless();

// Start-up as the program does it, then the first frame. False when start-up fails.
bool StartShow();

// One frame tick at ms after the show's start (the intro begins at 0, demo time 0 is at 5000).
void Tick(DWORD ms);

}  // namespace velunar::bench
