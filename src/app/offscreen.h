// offscreen.h - the runs without a real window: one frame at a chosen demo time (--at), and the
// start offset of --start.
// Depends on: options.h.
#pragma once

#include "app/options.h"

// Renders the frame at opts.at offscreen and writes opts.shot as PNG; returns the exit status.
int RunAt(const VelunarOptions& opts);
