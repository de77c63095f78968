// files.h - the Win32 KERNEL file-system calls the program makes: the current directory.
// Depends on: wintypes.h.
#pragma once

#include "platform/wintypes.h"

// Win32's contract: the length copied without the terminator, or the size needed (terminator
// included) when the buffer is too small; 0 on failure. The path uses '/'.
DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer);
