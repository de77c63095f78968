// d3d8_ext.h - switches of our own Direct3D 8 device for the offscreen modes (not Direct3D API).
// The back buffer is read with GetRenderTarget and LockRect of the returned surface: 800 x 600
// (the back-buffer size) A8R8G8B8 pixels, top row first.
// Depends on: nothing.
#pragma once

// Draw calls keep every state change but rasterise nothing (replayed frames cost only the CPU side).
void D3D8_SetSkipDraws(bool skip);
bool D3D8_GetSkipDraws();

// Present waits for the display's vertical blank (on in a normal run). Presents into a hidden or
// offscreen window never wait, whatever this says.
void D3D8_SetVsync(bool vsync);
