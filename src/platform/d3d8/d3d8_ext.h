// d3d8_ext.h - switches of our own Direct3D 8 device for the offscreen modes (not Direct3D API).
// The back buffer is read with GetRenderTarget and LockRect of the returned surface: 800 x 600
// (the back-buffer size, times the scale below) A8R8G8B8 pixels, top row first.
// Depends on: platform/wintypes.h (RECT).
#pragma once

#include "platform/wintypes.h"

struct IDirect3DDevice8;

// Draw calls keep every state change but rasterise nothing (replayed frames cost only the CPU side).
void D3D8_SetSkipDraws(bool skip);
bool D3D8_GetSkipDraws();

// Present waits for the display's vertical blank (on in a normal run). Presents into a hidden or
// offscreen window never wait, whatever this says.
void D3D8_SetVsync(bool vsync);

// Devices created from now on make their back buffer and its depth buffer `scale` (1 ... 4) times
// wider and taller than asked, for a sharper picture; 0 picks the largest factor whose picture
// fits the display (1 without one). The program keeps its own coordinates: viewports, clears,
// pre-transformed positions and point sizes on the back buffer are scaled by the device, and the
// targets the program creates keep their size. 1 unless set.
void D3D8_SetBackBufferScale(unsigned scale);
// The factor of this device's back buffer, and of the target it draws into now (1 for the
// program's own render targets): what "one pixel" of the program's coordinates spans.
unsigned D3D8_GetBackBufferScale(IDirect3DDevice8* device);
unsigned D3D8_GetTargetScale(IDirect3DDevice8* device);

// Devices created from now on show only this part of their back buffer (the program's
// coordinates), scaled into the window or onto the screen with its aspect kept: a window is sized
// for it, and a scale of 0 fits it, not the whole buffer, to the display. Whatever reads the back
// buffer back (shots, captures) still sees all of it. Null, the default, shows all of it.
void D3D8_SetShownRect(const RECT* rect);
// What this device shows from its next Present on; null goes back to what it was created with.
void D3D8_SetDeviceShownRect(IDirect3DDevice8* device, const RECT* rect);

// A promise for the frame being drawn: every back-buffer pixel outside `rect` (the program's
// coordinates) is drawn over, whatever lies under it, before anything reads it. Draws into the
// back buffer then leave the pixels outside alone (clears still clear them). Null withdraws the
// promise, and so does Present.
void D3D8_SetBackBufferKeep(IDirect3DDevice8* device, const RECT* rect);
