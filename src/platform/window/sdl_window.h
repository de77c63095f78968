// sdl_window.h - what the other platform layers (Direct3D, DirectInput, sound) need from the
// window layer's SDL side. Not for use above src/platform/.
// Depends on: SDL2, window.h.
#pragma once

#include <SDL.h>

#include "platform/window/window.h"

namespace velunar::window {

// Every window is created with SDL_WINDOW_OPENGL; null for an unknown handle.
SDL_Window* GetSdlWindow(HWND hWnd);
// True under SDL's offscreen or dummy video driver (tests, --at, --capture).
bool IsHeadless();
// A hidden OpenGL window for tests and offscreen renderings; it gets no messages worth having
// (no paint, no activation) and is removed with DestroyWindow.
HWND CreateOffscreenWindow(int width, int height);
// Where there is no GPU, llvmpipe draws: its raster threads shade while the main thread prepares
// the next draws. Two threads more than processors keep the cores busy when one thread waits (on two
// cores the slowest frames came 10-30 % sooner with four threads than with two, at the same CPU time).
// Sets LP_NUM_THREADS so unless the user set it.
void SuggestRasterThreads();
// Brings SDL's video and events up (idempotent), the raster threads suggested first; false when SDL
// cannot start.
bool EnsureVideo();

// Turns pending SDL events into queued messages and input state; GetMessageA does it too.
void PumpEvents();
// Sees every SDL event the pump takes, before it becomes a message (a modal dialog's widgets need
// the raw keys, text and mouse). Null removes it.
using EventObserver = void (*)(const SDL_Event& event);
void SetEventObserver(EventObserver observer);

// Input state gathered by the event pump, for the DirectInput layer.
// Down state by SDL scancode (0 ... SDL_NUM_SCANCODES - 1); false outside that range.
bool IsScancodeDown(int scancode);
// Relative mouse motion since the last call, in pixels; resets the accumulator.
void TakeMouseMotion(int* dx, int* dy);
// SDL_BUTTON_LMASK / SDL_BUTTON_RMASK ... of the buttons held.
Uint32 GetMouseButtons();
// Counts every loss of input focus, so an acquired input device can tell that it was lost.
unsigned GetFocusLossCount();
// True while one of our visible windows has the input focus (always, headless).
bool HasFocus();

}  // namespace velunar::window
