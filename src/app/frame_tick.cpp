#include "app/demo.h"

void FrameTick(HWND) {}
