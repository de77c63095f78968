// window_proc.h - the demo window: its class and title, the window procedure, start-up from
// window creation and the fixed shutdown order.
// Depends on: the window layer.
#pragma once

#include "platform/window/window.h"

// Class name, menu name and title of the one window.
inline constexpr const char kWindowTitle[] = "Velunar - a demo by Halvorine & Quill";

// Registers the class, creates and shows the window, runs InitDemo; 1 on success, 0 on failure
// (then GetStartupFailure names the step that failed).
int CreateMainWindow(HINSTANCE hInstance, int nCmdShow);
const char* GetStartupFailure();

LRESULT CALLBACK WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Deletes the mouse, the keyboard, the small font, the renderer and the logger, in that order.
void ShutdownDemo();

// The entry point: the log, the switches, the window and the message loop.
int WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
