// x_window.h - a window's picture as its X server shows it, for the tests that run the program in
// a real window (Xvfb).
//
// Depends on: image.h; x_window.cpp uses Xlib.
#pragma once

#include <string>

#include "support/image.h"

namespace velunar_test {

// The window's whole area as RGB, read from the X server on `display` (":93"); `window` is its X
// id in decimal, as xdotool prints it. The window must lie on the screen whole. An empty picture
// when the server or the window cannot be read.
Image GrabWindow(const std::string& display, const std::string& window);

}  // namespace velunar_test
