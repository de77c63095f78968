// window_proc.cpp - the window procedure, window creation with start-up, and shutdown.
#include "app/window_proc.h"

#include <cstdio>
#include <cstdlib>
#include <new>

#include "app/command_line.h"
#include "app/options.h"
#include "core/globals.h"
#include "core/logger.h"
#include "app/demo.h"
#include "app/frame_tick.h"
#include "input/input_globals.h"
#include "input/keyboard.h"
#include "input/mouse.h"
#include "platform/window/clock.h"
#include "render/bitmap_font.h"
#include "render/render.h"
#include "render/render_globals.h"

namespace {
const char* g_pszStartupFailure = nullptr;
}

const char* GetStartupFailure() { return g_pszStartupFailure; }

int CreateMainWindow(HINSTANCE hInstance, int nCmdShow) {
    WNDCLASSEXA wc{};
    wc.cbSize = 48;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WndProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = hInstance;
    wc.hIcon = LoadIconA(hInstance, MAKEINTRESOURCEA(101));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszMenuName = kWindowTitle;
    wc.lpszClassName = kWindowTitle;
    wc.hIconSm = nullptr;
    // A failed registration shows up as a failed creation below.
    RegisterClassExA(&wc);

    g_hWnd = CreateWindowExA(0, kWindowTitle, kWindowTitle, WS_VISIBLE | WS_OVERLAPPEDWINDOW, 112, 84, 805, 627,
                             nullptr, nullptr, hInstance, nullptr);
    if (!g_hWnd) {
        g_pszStartupFailure = "could not create the window";
        return 0;
    }

    SetCursor(nullptr);
    ShowWindow(g_hWnd, nCmdShow);
    UpdateWindow(g_hWnd);
    SetFocus(g_hWnd);

    // --setup: the sound choices come first, so that Cancel leaves before anything is loaded,
    // through the window's own exit (status 0).
    if (g_options.setup) {
        const int setup = RunSoundSetup();
        if (setup == 0) DestroyWindow(g_hWnd);
        if (setup != 1) {
            g_pszStartupFailure = "the sound setup dialog could not be shown";
            return 0;
        }
    }

    if (!InitDemo()) {
        g_pszStartupFailure = "start-up failed";
        return 0;
    }
    g_bInitialized = 1;
    return 1;
}

LRESULT CALLBACK WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
        case WM_PAINT:
            // Never validated, so the queue asks again as soon as it is idle: one frame per paint.
            FrameTick(hWnd, timeGetTime());
            return 0;
        case WM_ACTIVATE:
            g_bActive = HIWORD(wParam) == 0 ? 1 : 0;
            return 0;
        case WM_ACTIVATEAPP:
            g_bActive = static_cast<int>(wParam);
            break;
        case WM_SETCURSOR:
            SetCursor(nullptr);
            break;
        case WM_DESTROY:
            ShutdownDemo();
            if (!g_bDebug) std::remove("debug.txt");
            PostQuitMessage(0);
            std::exit(0);
        default:
            break;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

void ShutdownDemo() {
    if (g_pMouse) {
        delete g_pMouse;
        g_pMouse = nullptr;
    }
    if (g_pKeyboard) {
        delete g_pKeyboard;
        g_pKeyboard = nullptr;
    }
    if (g_pFontSmall) {
        delete g_pFontSmall;
        g_pFontSmall = nullptr;
    }
    if (g_pRender) {
        delete g_pRender;
        g_pRender = nullptr;
    }
    if (g_pLogger) {
        delete g_pLogger;
        g_pLogger = nullptr;
    }
}

int WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow) {
    g_hInstance = hInstance;
    // Mode 20 has neither the append nor the no-fallback bit: a fresh log, fallback allowed.
    g_pLogger = new (std::nothrow) CLogger("debug.txt", 20);
    g_bFullScreen = 1;
    const char* line = lpCmdLine ? lpCmdLine : "";
    ScanSwitches(line);

    if (CreateMainWindow(hInstance, nCmdShow) != 1) {
        // The log stays on disk: shutdown does not run on this path.
        std::fprintf(stderr, "velunar: %s (see debug.txt)\n", g_pszStartupFailure ? g_pszStartupFailure : "start-up failed");
        return 1;
    }

    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
