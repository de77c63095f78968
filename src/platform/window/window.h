// window.h - the Win32-shaped face of the window layer: one window class, windows, the message
// queue with its idle paint, and the cursor, over SDL2.
// Depends on: wintypes.h. The SDL side lives in the .cpp files and sdl_window.h.
#pragma once

#include "platform/wintypes.h"

#define CALLBACK
#define WINAPI

struct VelunarIcon;
struct VelunarCursor;
struct VelunarBrush;
using HICON = VelunarIcon*;
using HCURSOR = VelunarCursor*;
using HBRUSH = VelunarBrush*;
using HGDIOBJ = void*;
using HMENU = void*;
using HMODULE = void*;
using ATOM = WORD;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using LONG_PTR = std::intptr_t;

#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_ACTIVATEAPP 0x001C
#define WM_SETCURSOR 0x0020
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_MOUSEMOVE 0x0200
#define WM_USER 0x0400

#define WA_INACTIVE 0
#define WA_ACTIVE 1
#define WA_CLICKACTIVE 2

#define HTCLIENT 1

#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_MINIMIZE 0x20000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_MAXIMIZE 0x01000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_OVERLAPPEDWINDOW \
    (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)

// Window longs (the pointer-sized forms).
#define GWLP_WNDPROC (-4)
#define GWLP_HINSTANCE (-6)
#define GWLP_USERDATA (-21)
#define GWLP_ID (-12)

#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10

#define BLACK_BRUSH 4

#define MAKEINTRESOURCEA(i) ((LPCSTR)(std::uintptr_t)(WORD)(i))
#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define IDI_APPLICATION MAKEINTRESOURCEA(32512)
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)(((WORD)(l)) | (((DWORD)(WORD)(h)) << 16)))

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
using LPMSG = MSG*;

struct WNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
};

// Classes are found by name; registering a name twice fails (returns 0), as on Windows.
ATOM RegisterClassExA(const WNDCLASSEXA* wc);
// The outer size is what the caller asks; the client area is 800 x 600 for the demo's 805 x 627
// (the frame is the window system's). Returns null when the class is unknown or SDL fails.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
// With WS_CHILD and a parent, a child window (a control) is made instead: no window of its own,
// `menu` is its control identifier, and it lives until its parent is destroyed.
// Sends WM_DESTROY to the window procedure, then removes the window and its children.
BOOL DestroyWindow(HWND hWnd);
BOOL ShowWindow(HWND hWnd, int cmdShow);
BOOL UpdateWindow(HWND hWnd);
HWND SetFocus(HWND hWnd);
BOOL SetWindowTextA(HWND hWnd, LPCSTR text);
// Copies the title into buf (at most maxCount - 1 characters); returns the copied length.
int GetWindowTextA(HWND hWnd, LPSTR buf, int maxCount);
BOOL GetClientRect(HWND hWnd, RECT* rect);
BOOL IsWindow(HWND hWnd);
HWND GetParent(HWND hWnd);
// The child of `dialog` with that control identifier, or null.
HWND GetDlgItem(HWND dialog, int id);
// GWLP_WNDPROC replaces the procedure (subclassing) and returns the old one; GWLP_USERDATA is the
// window's own slot; GWLP_HINSTANCE gives the module handle; GWLP_ID a child's identifier.
LONG_PTR SetWindowLongPtrA(HWND hWnd, int index, LONG_PTR value);
LONG_PTR GetWindowLongPtrA(HWND hWnd, int index);
LRESULT CallWindowProcA(WNDPROC proc, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// The top-level window with the input focus, else the first visible one; null when none is shown.
HWND GetForegroundWindow();

// Null hides the cursor over our windows; any other cursor shows the system arrow.
HCURSOR SetCursor(HCURSOR cursor);
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
HGDIOBJ GetStockObject(int object);
HMODULE GetModuleHandleA(LPCSTR name);

// Blocks until a message is there. Posted messages come first, then WM_QUIT once
// PostQuitMessage was called (returns FALSE), then a WM_PAINT for a visible window when the queue
// is otherwise empty: nothing validates our windows, so they always want painting.
BOOL GetMessageA(LPMSG msg, HWND hWnd, UINT filterMin, UINT filterMax);
BOOL PeekMessageA(LPMSG msg, HWND hWnd, UINT filterMin, UINT filterMax, UINT removeMsg);
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
BOOL PostMessageA(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// WM_CLOSE destroys the window; everything else is answered with 0.
LRESULT DefWindowProcA(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
