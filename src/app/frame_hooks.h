// frame_hooks.h - what the runs that do not start at the beginning of the show, or that read the
// picture back, add to the frame.
// Depends on: nothing.
#pragma once

#include "platform/wintypes.h"

// Milliseconds of demo clock already run when the first frame starts (0 in a normal run).
extern DWORD g_dwStartOffset;
// Seek the music to the demo time when the frame tick starts it (runs that begin mid-show).
extern bool g_bSeekMusicOnStart;
// Called after the frame is drawn, just before it is presented (null in a normal run).
extern void (*g_pfnBeforePresent)();

// The music's position, in frames at the mixing rate, at demo time t seconds.
int MusicPositionOf(float t);
// Moves the playing music to demo time t seconds.
void SeekMusicTo(float t);
