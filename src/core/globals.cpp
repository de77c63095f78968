// globals.cpp - the shell's process-wide flags and the demo clock, zero until the shell sets them.
#include "core/globals.h"

#include "core/logger.h"

HINSTANCE g_hInstance = nullptr;
HWND g_hWnd = nullptr;
BYTE g_bFullScreen = 0;
BYTE g_bDebug = 0;
BYTE g_bGentle = 0;
int g_bInitialized = 0;
int g_bActive = 0;
DWORD g_dwStartTime = 0;
DWORD g_dwElapsed = 0;
CLogger* g_pLogger = nullptr;
