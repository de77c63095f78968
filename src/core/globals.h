// globals.h - the shell's process-wide flags, the window and the demo clock.
// Depends on: the window layer's handle type.
#pragma once

#include "platform/wintypes.h"

extern HINSTANCE g_hInstance;
extern HWND g_hWnd;
// Full screen wanted (1 unless the command line says "-win").
extern BYTE g_bFullScreen;
// Keep debug.txt at exit ("-debug").
extern BYTE g_bDebug;
// --gentle: flashes held to the photosensitivity guideline's three a second.
extern BYTE g_bGentle;
// 1 once start-up has succeeded; frames run only then.
extern int g_bInitialized;
// 1 while the window is active and not minimised; frames run only then.
extern int g_bActive;
// The demo clock: timeGetTime() at the first frame (0 until then) and milliseconds since it.
extern DWORD g_dwStartTime;
extern DWORD g_dwElapsed;
