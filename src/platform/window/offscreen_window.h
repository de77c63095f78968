// offscreen_window.h - the window of the runs without a display, for code above the platform
// that must not see SDL.
// Depends on: the window handle type.
#pragma once

#include "platform/wintypes.h"

namespace velunar::window {
// A hidden window with an OpenGL-capable surface of the given client size.
HWND CreateOffscreenWindow(int width, int height);
}  // namespace velunar::window
