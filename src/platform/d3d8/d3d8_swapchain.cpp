// d3d8_swapchain.cpp - presentation: full screen, the letterbox, vsync and the flip to the window.
#include "platform/d3d8/d3d8_swapchain.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/d3d8/d3d8_ext.h"

namespace {
bool g_vsync = true;
}  // namespace

void D3D8_SetVsync(bool vsync) { g_vsync = vsync; }

namespace velunar::d3d8 {

bool IsHeadlessDriver() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

PresentRect LetterboxRect(int drawableWidth, int drawableHeight, int backWidth, int backHeight) {
    const double scale = std::min(static_cast<double>(drawableWidth) / backWidth,
                                  static_cast<double>(drawableHeight) / backHeight);
    PresentRect r;
    r.width = static_cast<int>(std::lround(backWidth * scale));
    r.height = static_cast<int>(std::lround(backHeight * scale));
    r.x = (drawableWidth - r.width) / 2;
    r.y = (drawableHeight - r.height) / 2;
    return r;
}

int SwapIntervalFor(bool vsync, bool headless) { return (vsync && !headless) ? 1 : 0; }

PresentRect WindowForPicture(int pictureWidth, int pictureHeight, int roomWidth, int roomHeight) {
    PresentRect r;
    r.width = pictureWidth;
    r.height = pictureHeight;
    if (pictureWidth > roomWidth || pictureHeight > roomHeight) r = LetterboxRect(roomWidth, roomHeight, pictureWidth, pictureHeight);
    r.x = (roomWidth - r.width) / 2;
    r.y = (roomHeight - r.height) / 2;
    return r;
}

namespace {

// A window as large as the picture it shows, or the largest of its shape that the display has
// room for, frame included. A window that already has the picture's size stays where it is.
void SizeWindowFor(SDL_Window* window, int width, int height) {
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    if (width == w && height == h) return;
    const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
    SDL_Rect room{};
    if (SDL_GetDisplayUsableBounds(display, &room) != 0) return;
    int top = 0, left = 0, bottom = 0, right = 0;
    SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right);
    const PresentRect r = WindowForPicture(width, height, room.w - left - right, room.h - top - bottom);
    SDL_SetWindowSize(window, r.width, r.height);
    SDL_SetWindowPosition(window, room.x + left + r.x, room.y + top + r.y);
}

}  // namespace

void SwapChain::Init(GlStateCache& gl, SDL_Window* window, bool windowed, GLuint backBufferTexture,
                     const PresentRect& shown) {
    m_window = window;
    if (!windowed && !IsHeadlessDriver()) SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    if (windowed && !IsHeadlessDriver()) SizeWindowFor(window, shown.width, shown.height);
    glGenFramebuffers(1, &m_readFbo);
    gl.BindFramebuffer(m_readFbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, backBufferTexture, 0);
}

void SwapChain::Release() {
    if (m_readFbo) glDeleteFramebuffers(1, &m_readFbo);
    m_readFbo = 0;
}

void SwapChain::Present(GlStateCache& gl, const PresentRect& shown) {
    const bool headless = IsHeadlessDriver() || (SDL_GetWindowFlags(m_window) & SDL_WINDOW_HIDDEN);
    const int interval = SwapIntervalFor(g_vsync, headless);
    if (interval != m_swapInterval) {
        SDL_GL_SetSwapInterval(interval);
        m_swapInterval = interval;
    }
    int dw = 0, dh = 0;
    SDL_GL_GetDrawableSize(m_window, &dw, &dh);
    const PresentRect r = LetterboxRect(dw, dh, shown.width, shown.height);

    gl.BindFramebuffers(0, m_readFbo);
    gl.Enable(GlStateCache::kScissorTest, false);
    gl.ColorMask(0xf);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    // The only flip: our row 0 is the picture's top, the window's row 0 its bottom.
    if (r.width > 0 && r.height > 0)
        glBlitFramebuffer(shown.x, shown.y, shown.x + shown.width, shown.y + shown.height, r.x, r.y + r.height,
                          r.x + r.width, r.y, GL_COLOR_BUFFER_BIT,
                          (r.width == shown.width && r.height == shown.height) ? GL_NEAREST : GL_LINEAR);
    D3D8_GL_CHECK("present blit");
    SDL_GL_SwapWindow(m_window);
}

}  // namespace velunar::d3d8
