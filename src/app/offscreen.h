// offscreen.h - the runs without a real window: one frame at a chosen demo time (--at), the
// pieces the capture shares with it (start-up on the virtual clock, the replay up to a time, one
// frame at a time), and the first frame of --start.
// Depends on: options.h, the capture layer's picture.
#pragma once

#include "app/options.h"
#include "capture/frame_capture.h"
#include "platform/wintypes.h"

// Renders the frame at opts.at offscreen and writes opts.shot as PNG; returns the exit status.
int RunAt(const VelunarOptions& opts);

// Start-up without a display on the virtual clock, sound on the same clock; 0, or the exit status
// after a message on stderr.
int StartOffscreen();
// Replays the frames from the start of the scene that shows at targetMs up to just before it, at
// 60 frames per second, drawing nothing: whatever a scene carries between frames is then as in a
// real run.
void ReplayTo(DWORD targetMs);
// Runs one frame tick at elapsedMs of demo clock, the sound's virtual clock set to the same time;
// the picture goes to `sink` when one is given (false when it could not be read).
bool RunFrameAt(DWORD elapsedMs, capture::Picture* sink = nullptr);
// Only sets the sound's virtual clock.
void SetClockAt(DWORD elapsedMs);

// A window run's jump: the scene that shows at targetMs is replayed up to it as above, and the
// demo clock stays at targetMs for the frame that shows it.
void JumpTo(DWORD targetMs);
// Back to the wall clock, the demo clock going on from its present reading.
void ResumeWallClock();

// --start: the first frame jumps to opts.start seconds of demo time as a seek does (its scene
// replayed from the scene's start, the music placed to match), so it shows what --at shows.
void PrepareStart(const VelunarOptions& opts);
