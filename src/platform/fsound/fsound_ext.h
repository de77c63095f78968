// fsound_ext.h - our additions to the FMOD 3 face: the virtual clock for the offscreen runs,
// mixing on demand for the video capture, and decoding a track ahead of its opening.
// Depends on: platform/wintypes.h.
#pragma once

#include "platform/wintypes.h"

// Switches the virtual-clock mode for the next FSOUND_Init (--at, --capture): no audio device is
// opened, and a playing stream's position is the time elapsed on timeGetTime() since its Play
// (plus any position set since), so the same demo time always gives the same position and spectrum.
void FSOUND_Velunar_UseVirtualClock(bool on);
bool FSOUND_Velunar_IsVirtualClock();

// Mixes `frames` stereo frames of the playing output, starting at the current playback position,
// into `out` (interleaved left/right floats, -1 ... 1, at FSOUND_GetOutputRate()). Silence where
// nothing plays. Returns the number of frames written: `frames`, or 0 when the library is closed.
int FSOUND_Velunar_MixAt(float* out, int frames);
// The same, starting `offset` frames after the current playback position (before it when
// negative; silence where that lies before a sound's start).
int FSOUND_Velunar_MixFrom(long long offset, float* out, int frames);

// The name of the SDL audio driver opened by FSOUND_Init ("dummy" after the fall-back), or "" when
// no device is open (closed, or the virtual clock).
const char* FSOUND_Velunar_GetDeviceDriver();

// Starts decoding a sampled file (not .raw) on a thread of its own, so that the decoding overlaps
// other start-up work; FSOUND_Stream_OpenFile of the same name then takes the decoded sound
// instead of decoding the file again (and waits for the thread if it is not done).
void FSOUND_Velunar_Prefetch(const char* filename);
