// frame_tick.h - one frame of the show, handed its clock reading by whoever runs the show (the
// window's loop, --at, --capture, the viewer's jumps), and where its picture may leave.
// Depends on: the capture layer's picture.
#pragma once

#include "capture/frame_capture.h"
#include "platform/wintypes.h"

// Seek the music to the demo time when the frame tick starts it (runs that begin mid-show).
extern bool g_bSeekMusicOnStart;

// One frame at `nowMs` of the clock the show runs on (timeGetTime's reading in a window run; the
// demo clock starts at the first frame's reading): clock, input, music start, the scheduled scene
// and fades, bars, keys, present. With a sink, the finished picture (bars in, the viewer's display
// not) is read back into it before it is presented, as F11's shots read it. False when a sink was
// given and no picture reached it (no frame drawn, or the read-back failed).
bool FrameTick(HWND hWnd, DWORD nowMs, capture::Picture* sink = nullptr);

// The music's position, in frames at the mixing rate, at demo time t seconds.
int MusicPositionOf(float t);
// Moves the playing music to demo time t seconds.
void SeekMusicTo(float t);
