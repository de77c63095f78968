// offscreen.h - the runs without a real window: one frame at a chosen demo time (--at), and the
// start offset of --start.
// Depends on: options.h.
#pragma once

#include "app/options.h"
#include "platform/wintypes.h"

// Renders the frame at opts.at offscreen and writes opts.shot as PNG; returns the exit status.
int RunAt(const VelunarOptions& opts);

// The demo clock's whole milliseconds at a demo time in seconds.
DWORD DemoClockMsFor(double seconds);
// --start: the first frame begins at opts.start seconds of demo time, the music seeked to match.
void PrepareStart(const VelunarOptions& opts);
