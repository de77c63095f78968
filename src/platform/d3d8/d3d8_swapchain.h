// d3d8_swapchain.h - SwapChain, the back buffer shown in the window: full screen or not, the
// letterbox scaling, the vertical-blank policy and the blit that presents.
// Depends on: d3d8_gl_cache.h, SDL2.
#pragma once

#include <SDL.h>

#include "platform/d3d8/d3d8_gl_cache.h"

namespace velunar::d3d8 {

// True under SDL's offscreen and dummy video drivers, where nothing is seen.
bool IsHeadlessDriver();

// Where the back buffer lands in the drawable, in drawable pixels from the lower left; or the
// part of the back buffer shown, in its pixels from the top row.
struct PresentRect {
    int x = 0, y = 0, width = 0, height = 0;
};
// The largest rectangle of the back buffer's aspect that fits the drawable, rounded to whole
// pixels and centred (the odd pixel of a margin goes to the right or the top).
PresentRect LetterboxRect(int drawableWidth, int drawableHeight, int backWidth, int backHeight);

// The client area of a window for a picture of that size: the picture's own size where the room
// (the display's usable area less the frame) holds it, else the largest of its shape that fits;
// centred in the room.
PresentRect WindowForPicture(int pictureWidth, int pictureHeight, int roomWidth, int roomHeight);

// 1 (wait for the vertical blank) when vsync is wanted and the window is seen, else 0.
int SwapIntervalFor(bool vsync, bool headless);

class SwapChain {
public:
    // Takes the window full screen (desktop size) unless windowed or headless, else sizes the
    // window for the shown part of the back buffer, and reads the back buffer texture through a
    // framebuffer of its own.
    void Init(GlStateCache& gl, SDL_Window* window, bool windowed, GLuint backBufferTexture, const PresentRect& shown);
    void Release();
    // Shows that part of the back buffer. The draw framebuffer is the window's afterwards, and the
    // scissor test and colour mask are left off and full.
    void Present(GlStateCache& gl, const PresentRect& shown);

private:
    SDL_Window* m_window = nullptr;
    GLuint m_readFbo = 0;
    int m_swapInterval = -1;
};

}  // namespace velunar::d3d8
