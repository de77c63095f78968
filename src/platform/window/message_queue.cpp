// message_queue.cpp - the Win32-shaped message queue: SDL events become posted messages, and a
// window that nobody validates gets WM_PAINT whenever the queue is otherwise empty.
#include <algorithm>
#include <array>
#include <deque>
#include <vector>

#include "platform/window/clock.h"
#include "platform/window/sdl_window.h"
#include "platform/window/window_internal.h"

namespace {

std::deque<MSG> g_queue;
bool g_quitPosted = false;
int g_quitCode = 0;

std::array<bool, SDL_NUM_SCANCODES> g_keys{};
int g_mouseDx = 0, g_mouseDy = 0;
Uint32 g_buttons = 0;
unsigned g_focusLosses = 0;
bool g_focused = false;
velunar::window::EventObserver g_observer = nullptr;

void Post(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG m{};
    m.hwnd = hWnd;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = timeGetTime();
    g_queue.push_back(m);
}

bool IsQueued(HWND hWnd, UINT message) {
    return std::any_of(g_queue.begin(), g_queue.end(),
                       [&](const MSG& m) { return m.hwnd == hWnd && m.message == message; });
}

void PostCloseToAll() {
    // Ask every visible window to close, as the close box would.
    for (HWND w : velunar::window::detail::AllWindows())
        if (!w->destroying && w->visible && !IsQueued(w, WM_CLOSE)) Post(w, WM_CLOSE, 0, 0);
}

void Translate(const SDL_Event& e) {
    using namespace velunar::window::detail;
    switch (e.type) {
        case SDL_QUIT:
            // SIGINT and SIGTERM arrive here through SDL's own signal handlers.
            PostCloseToAll();
            break;
        case SDL_WINDOWEVENT: {
            VelunarWindow* w = FindBySdlId(e.window.windowID);
            if (!w || w->destroying) break;
            switch (e.window.event) {
                case SDL_WINDOWEVENT_CLOSE:
                    if (!IsQueued(w, WM_CLOSE)) Post(w, WM_CLOSE, 0, 0);
                    break;
                case SDL_WINDOWEVENT_MINIMIZED:
                    PostActivation(w, false, true);
                    break;
                case SDL_WINDOWEVENT_RESTORED:
                    PostActivation(w, true, false);
                    break;
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    OnFocusGained();
                    PostActivation(w, true, false);
                    break;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    OnFocusLost();
                    PostActivation(w, false, false);
                    break;
                default:
                    break;
            }
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const int sc = e.key.keysym.scancode;
            if (sc >= 0 && sc < SDL_NUM_SCANCODES) g_keys[static_cast<size_t>(sc)] = e.type == SDL_KEYDOWN;
            break;
        }
        case SDL_MOUSEMOTION: {
            g_mouseDx += e.motion.xrel;
            g_mouseDy += e.motion.yrel;
            VelunarWindow* w = FindBySdlId(e.motion.windowID);
            if (w && !w->destroying && !IsQueued(w, WM_SETCURSOR))
                Post(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w),
                     static_cast<LPARAM>(HTCLIENT | (static_cast<DWORD>(WM_MOUSEMOVE) << 16)));
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
            g_buttons |= SDL_BUTTON(e.button.button);
            break;
        case SDL_MOUSEBUTTONUP:
            g_buttons &= ~SDL_BUTTON(e.button.button);
            break;
        default:
            break;
    }
}

bool Take(LPMSG msg, bool remove) {
    if (!g_queue.empty()) {
        *msg = g_queue.front();
        if (remove) g_queue.pop_front();
        return true;
    }
    if (g_quitPosted) {
        *msg = MSG{};
        msg->message = WM_QUIT;
        msg->wParam = static_cast<WPARAM>(g_quitCode);
        msg->time = timeGetTime();
        if (remove) g_quitPosted = false;
        return true;
    }
    VelunarWindow* w = velunar::window::detail::FirstVisible();
    // Nothing of a minimised or unmapped window is seen: it asks for no paint until it is shown
    // again, so the loop sleeps in SDL_WaitEvent instead of spinning through skipped frames.
    if (w && w->sdl && (SDL_GetWindowFlags(w->sdl) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN))) w = nullptr;
    if (w) {
        *msg = MSG{};
        msg->hwnd = w;
        msg->message = WM_PAINT;
        msg->time = timeGetTime();
        return true;
    }
    return false;
}

}  // namespace

namespace velunar::window {

void PumpEvents() {
    if (!EnsureVideo()) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (g_observer) g_observer(e);
        Translate(e);
    }
}

void SetEventObserver(EventObserver observer) { g_observer = observer; }

bool IsScancodeDown(int scancode) {
    return scancode >= 0 && scancode < SDL_NUM_SCANCODES && g_keys[static_cast<size_t>(scancode)];
}

void TakeMouseMotion(int* dx, int* dy) {
    if (dx) *dx = g_mouseDx;
    if (dy) *dy = g_mouseDy;
    g_mouseDx = g_mouseDy = 0;
}

Uint32 GetMouseButtons() { return g_buttons; }
unsigned GetFocusLossCount() { return g_focusLosses; }
bool HasFocus() { return g_focused || IsHeadless(); }

namespace detail {

void PostActivation(HWND hWnd, bool active, bool minimised) {
    if (active) {
        Post(hWnd, WM_ACTIVATEAPP, TRUE, 0);
        Post(hWnd, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
        g_focused = true;
    } else {
        Post(hWnd, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, minimised ? 1 : 0), 0);
        if (!minimised) Post(hWnd, WM_ACTIVATEAPP, FALSE, 0);
    }
}

void DropMessages(HWND hWnd) {
    g_queue.erase(std::remove_if(g_queue.begin(), g_queue.end(), [&](const MSG& m) { return m.hwnd == hWnd; }),
                  g_queue.end());
}

void OnFocusLost() {
    g_focused = false;
    ++g_focusLosses;
    g_keys.fill(false);
    g_buttons = 0;
    g_mouseDx = g_mouseDy = 0;
}

void OnFocusGained() { g_focused = true; }

}  // namespace detail
}  // namespace velunar::window

BOOL GetMessageA(LPMSG msg, HWND, UINT, UINT) {
    if (!msg) return -1;
    velunar::window::PumpEvents();
    while (!Take(msg, true)) {
        // Nothing to paint and nothing queued: sleep until SDL has something.
        SDL_Event e;
        if (!velunar::window::EnsureVideo() || !SDL_WaitEvent(&e)) return -1;
        if (g_observer) g_observer(e);
        Translate(e);
        velunar::window::PumpEvents();
    }
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL PeekMessageA(LPMSG msg, HWND, UINT, UINT, UINT removeMsg) {
    if (!msg) return FALSE;
    velunar::window::PumpEvents();
    return Take(msg, (removeMsg & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageA(const MSG* msg) {
    if (!msg) return 0;
    VelunarWindow* w = velunar::window::detail::Find(msg->hwnd);
    if (!w || !w->proc || w->destroying) return 0;
    return w->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessageA(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (hWnd && !velunar::window::detail::Find(hWnd)) return FALSE;
    Post(hWnd, message, wParam, lParam);
    return TRUE;
}

LRESULT SendMessageA(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    VelunarWindow* w = velunar::window::detail::Find(hWnd);
    if (!w || !w->proc) return 0;
    return w->proc(hWnd, message, wParam, lParam);
}

LRESULT DefWindowProcA(HWND hWnd, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) DestroyWindow(hWnd);
    return 0;
}

void PostQuitMessage(int exitCode) {
    g_quitPosted = true;
    g_quitCode = exitCode;
}
