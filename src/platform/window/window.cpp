// window.cpp - window classes, windows and the cursor over SDL2.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/window/sdl_window.h"
#include "platform/window/window_internal.h"

struct VelunarIcon {
    SDL_Surface* surface = nullptr;
};
struct VelunarCursor {};
struct VelunarBrush {};

namespace {

struct WindowClass {
    std::string name;
    WNDPROC proc = nullptr;
    HICON icon = nullptr;
};

std::vector<WindowClass>& Classes() {
    static std::vector<WindowClass> classes;
    return classes;
}

std::vector<std::unique_ptr<VelunarWindow>>& Windows() {
    static std::vector<std::unique_ptr<VelunarWindow>> windows;
    return windows;
}

// The frame the window system adds around a captioned window's client area, in pixels.
constexpr int kFrameWidth = 5;
constexpr int kFrameHeight = 27;

bool g_cursorHidden = false;
bool g_videoUp = false;

// The WM_CLASS hint of X11 follows the class name of the first window, read at window creation.
void SetX11Class(const std::string& name) { setenv("SDL_VIDEO_X11_WMCLASS", name.c_str(), 1); }

// At process exit the device's GL context is still current, with the last frame's drawing in
// flight: the show ends inside WM_DESTROY before that frame is presented, and the device is left
// to process exit. Mesa's software rasteriser deadlocks when its threads are torn down (as closing
// the display does) while a frame is being rasterised, so that work is finished first.
void QuitVideoAtExit() {
    if (SDL_GL_GetCurrentContext()) {
        using GlFinish = void (*)();
        if (auto finish = reinterpret_cast<GlFinish>(SDL_GL_GetProcAddress("glFinish"))) finish();
    }
    SDL_Quit();
}

HWND CreateSdlWindow(const std::string& title, WNDPROC proc, int x, int y, int w, int h, bool visible,
                     HICON icon, bool sizable = false) {
    if (!velunar::window::EnsureVideo()) return nullptr;
    Uint32 flags = SDL_WINDOW_OPENGL | (visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN);
    // A sizing frame: the user may resize; presentation scales the picture with its aspect kept.
    if (sizable) flags |= SDL_WINDOW_RESIZABLE;
    SDL_Window* sdl = SDL_CreateWindow(title.c_str(), x, y, w, h, flags);
    if (!sdl) return nullptr;
    auto win = std::make_unique<VelunarWindow>();
    win->sdl = sdl;
    win->sdlId = SDL_GetWindowID(sdl);
    win->proc = proc;
    win->title = title;
    win->visible = visible;
    if (icon && icon->surface) SDL_SetWindowIcon(sdl, icon->surface);
    HWND h_ = win.get();
    Windows().push_back(std::move(win));
    return h_;
}

}  // namespace

namespace velunar::window {

void SuggestRasterThreads() {
    const std::string count = std::to_string(SDL_GetCPUCount() + 2);
    SDL_setenv("LP_NUM_THREADS", count.c_str(), 0);
}

bool EnsureVideo() {
    if (g_videoUp) return true;
    // Before any GL context: the rasteriser reads it once, when the first one is made.
    SuggestRasterThreads();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return false;
    g_videoUp = true;
    // Restores a changed display mode and the cursor when the process ends inside WM_DESTROY.
    std::atexit(QuitVideoAtExit);
    return true;
}

bool IsHeadless() {
    if (!EnsureVideo()) return true;
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

SDL_Window* GetSdlWindow(HWND hWnd) {
    VelunarWindow* w = detail::Find(hWnd);
    return w ? w->sdl : nullptr;
}

HWND CreateOffscreenWindow(int width, int height) {
    return CreateSdlWindow("Velunar offscreen", DefWindowProcA, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                           width, height, false, nullptr);
}

namespace detail {

VelunarWindow* Find(HWND hWnd) {
    if (!hWnd) return nullptr;
    for (auto& w : Windows())
        if (w.get() == hWnd) return w.get();
    return nullptr;
}

VelunarWindow* FindBySdlId(Uint32 id) {
    for (auto& w : Windows())
        if (w->sdlId == id) return w.get();
    return nullptr;
}

std::vector<HWND> AllWindows() {
    std::vector<HWND> all;
    for (auto& w : Windows()) all.push_back(w.get());
    return all;
}

VelunarWindow* FirstVisible() {
    for (auto& w : Windows())
        if (w->visible && !w->destroying) return w.get();
    return nullptr;
}

bool AnyVisible() { return FirstVisible() != nullptr; }

}  // namespace detail
}  // namespace velunar::window

using namespace velunar::window;

ATOM RegisterClassExA(const WNDCLASSEXA* wc) {
    if (!wc || !wc->lpszClassName || !wc->lpfnWndProc) return 0;
    auto& classes = Classes();
    for (auto& c : classes)
        if (c.name == wc->lpszClassName) return 0;
    classes.push_back({wc->lpszClassName, wc->lpfnWndProc, wc->hIcon});
    return static_cast<ATOM>(0xC000 + classes.size());
}

HWND CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width, int height,
                     HWND parent, HMENU menu, HINSTANCE, LPVOID) {
    if (!className) return nullptr;
    const WindowClass* cls = nullptr;
    for (auto& c : Classes())
        if (c.name == className) cls = &c;
    if (!cls) return nullptr;
    if (style & WS_CHILD) {
        // A control: a record under its parent, drawn by whoever draws the parent.
        if (!detail::Find(parent)) return nullptr;
        auto win = std::make_unique<VelunarWindow>();
        win->proc = cls->proc;
        win->title = windowName ? windowName : "";
        win->className = cls->name;
        win->parent = parent;
        win->id = static_cast<int>(reinterpret_cast<std::intptr_t>(menu));
        HWND child = win.get();
        Windows().push_back(std::move(win));
        return child;
    }
    SetX11Class(cls->name);
    // A captioned window's outer size includes the frame; SDL sizes the client area, so take the
    // frame off (805 x 627 outer gives the demo its 800 x 600 picture).
    const bool framed = (style & WS_CAPTION) == WS_CAPTION;
    const int clientW = framed ? std::max(1, width - kFrameWidth) : width;
    const int clientH = framed ? std::max(1, height - kFrameHeight) : height;
    const bool visible = (style & WS_VISIBLE) != 0;
    HWND hWnd = CreateSdlWindow(windowName ? windowName : "", cls->proc, x, y, clientW, clientH, visible, cls->icon,
                                (style & WS_THICKFRAME) != 0);
    if (hWnd) hWnd->className = cls->name;
    // A window shown on creation comes to the front and is activated, as on Windows.
    if (hWnd && visible) detail::PostActivation(hWnd, true, false);
    return hWnd;
}

BOOL DestroyWindow(HWND hWnd) {
    VelunarWindow* w = detail::Find(hWnd);
    if (!w || w->destroying) return FALSE;
    // Children go first, as their parent's procedure may still reach them in its WM_DESTROY.
    // A child destroyed with an earlier one is gone from the list: look before touching it.
    for (HWND child : detail::AllWindows())
        if (detail::Find(child) && child->parent == hWnd) DestroyWindow(child);
    w->destroying = true;
    detail::DropMessages(hWnd);
    if (w->proc) w->proc(hWnd, WM_DESTROY, 0, 0);
    // The procedure may have ended the process; if it returns, the window goes.
    detail::DropMessages(hWnd);
    auto& windows = Windows();
    auto it = std::find_if(windows.begin(), windows.end(), [&](auto& p) { return p.get() == hWnd; });
    if (it != windows.end()) {
        if ((*it)->sdl) SDL_DestroyWindow((*it)->sdl);
        windows.erase(it);
    }
    return TRUE;
}

BOOL IsWindow(HWND hWnd) { return detail::Find(hWnd) != nullptr; }

HWND GetParent(HWND hWnd) {
    VelunarWindow* w = detail::Find(hWnd);
    return w ? w->parent : nullptr;
}

HWND GetDlgItem(HWND dialog, int id) {
    if (!detail::Find(dialog)) return nullptr;
    for (HWND w : detail::AllWindows())
        if (w->parent == dialog && w->id == id && !w->destroying) return w;
    return nullptr;
}

LONG_PTR SetWindowLongPtrA(HWND hWnd, int index, LONG_PTR value) {
    VelunarWindow* w = detail::Find(hWnd);
    if (!w) return 0;
    LONG_PTR old = 0;
    switch (index) {
        case GWLP_WNDPROC:
            old = reinterpret_cast<LONG_PTR>(w->proc);
            w->proc = reinterpret_cast<WNDPROC>(value);
            break;
        case GWLP_USERDATA:
            old = w->userData;
            w->userData = value;
            break;
        case GWLP_ID:
            old = w->id;
            w->id = static_cast<int>(value);
            break;
        default:
            break;
    }
    return old;
}

LONG_PTR GetWindowLongPtrA(HWND hWnd, int index) {
    VelunarWindow* w = detail::Find(hWnd);
    if (!w) return 0;
    switch (index) {
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(w->proc);
        case GWLP_USERDATA:
            return w->userData;
        case GWLP_ID:
            return w->id;
        case GWLP_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(GetModuleHandleA(nullptr));
        default:
            return 0;
    }
}

LRESULT CallWindowProcA(WNDPROC proc, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return proc ? proc(hWnd, message, wParam, lParam) : 0;
}

HWND GetForegroundWindow() {
    if (!IsHeadless()) {
        if (SDL_Window* focus = SDL_GetKeyboardFocus()) {
            VelunarWindow* w = detail::FindBySdlId(SDL_GetWindowID(focus));
            if (w && w->visible && !w->destroying) return w;
        }
    }
    return detail::FirstVisible();
}

BOOL ShowWindow(HWND hWnd, int cmdShow) {
    VelunarWindow* w = detail::Find(hWnd);
    if (!w) return FALSE;
    const BOOL wasVisible = w->visible ? TRUE : FALSE;
    switch (cmdShow) {
        case SW_HIDE:
            SDL_HideWindow(w->sdl);
            w->visible = false;
            break;
        case SW_SHOWMINIMIZED:
        case SW_MINIMIZE:
            SDL_ShowWindow(w->sdl);
            SDL_MinimizeWindow(w->sdl);
            w->visible = true;
            detail::PostActivation(hWnd, false, true);
            break;
        case SW_SHOWMAXIMIZED:
            SDL_ShowWindow(w->sdl);
            SDL_MaximizeWindow(w->sdl);
            w->visible = true;
            break;
        default:
            SDL_ShowWindow(w->sdl);
            if (cmdShow == SW_RESTORE) SDL_RestoreWindow(w->sdl);
            if (!wasVisible) detail::PostActivation(hWnd, true, false);
            w->visible = true;
            break;
    }
    return wasVisible;
}

BOOL UpdateWindow(HWND hWnd) { return detail::Find(hWnd) ? TRUE : FALSE; }

HWND SetFocus(HWND hWnd) {
    VelunarWindow* w = detail::Find(hWnd);
    if (w && w->visible && !IsHeadless()) SDL_RaiseWindow(w->sdl);
    return nullptr;
}

BOOL SetWindowTextA(HWND hWnd, LPCSTR text) {
    VelunarWindow* w = detail::Find(hWnd);
    if (!w) return FALSE;
    w->title = text ? text : "";
    SDL_SetWindowTitle(w->sdl, w->title.c_str());
    return TRUE;
}

int GetWindowTextA(HWND hWnd, LPSTR buf, int maxCount) {
    VelunarWindow* w = detail::Find(hWnd);
    if (!buf || maxCount <= 0) return 0;
    buf[0] = '\0';
    if (!w) return 0;
    const int n = std::min(static_cast<int>(w->title.size()), maxCount - 1);
    std::memcpy(buf, w->title.data(), static_cast<size_t>(n));
    buf[n] = '\0';
    return n;
}

BOOL GetClientRect(HWND hWnd, RECT* rect) {
    VelunarWindow* w = detail::Find(hWnd);
    if (!w || !rect) return FALSE;
    int cw = 0, ch = 0;
    SDL_GetWindowSize(w->sdl, &cw, &ch);
    *rect = RECT{0, 0, cw, ch};
    return TRUE;
}

HCURSOR SetCursor(HCURSOR cursor) {
    static VelunarCursor arrow;
    HCURSOR previous = g_cursorHidden ? nullptr : &arrow;
    const bool hide = cursor == nullptr;
    if (hide != g_cursorHidden && EnsureVideo()) {
        SDL_ShowCursor(hide ? SDL_DISABLE : SDL_ENABLE);
        g_cursorHidden = hide;
    }
    return previous;
}

HICON LoadIconA(HINSTANCE, LPCSTR) {
    // There is one icon: every id names our own image.
    static VelunarIcon icon;
    if (!icon.surface) icon.surface = detail::CreateIconSurface();
    return icon.surface ? &icon : nullptr;
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR) {
    static VelunarCursor arrow;
    return &arrow;
}

HGDIOBJ GetStockObject(int) {
    static VelunarBrush brush;
    return &brush;
}

HMODULE GetModuleHandleA(LPCSTR) {
    static int self;
    return &self;
}
