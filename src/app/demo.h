// demo.h - the demo's start-up and its frame, called by the window procedure.
// Depends on: the window layer's handle type.
#pragma once

#include "platform/wintypes.h"

// Creates every long-lived object in the fixed start-up order; false only when the renderer fails.
bool InitDemo();
// One frame: clock, input, music start, the scheduled scene and fades, bars, keys, present.
void FrameTick(HWND hWnd);
