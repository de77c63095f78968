// viewer_keys.h - what a viewer can do while the show plays in a window: pause, seek, jump to a
// scene or the title, show where they are, and have the show start again at its end (--loop).
// A jump replays its scene from the start up to the new time, as --at does, so the picture and
// whatever scenes carry between frames are the same as there; the music is placed at that time.
// Without these keys the frame tick runs exactly as it always did.
// Depends on: scene_schedule.h.
#pragma once

#include "app/scene_schedule.h"
#include "platform/wintypes.h"

// Turns the keys on (the window run; the offscreen runs leave them off), --loop, and --fill (the
// display then needs a line of its own above the band, since the bars are not shown).
void EnableViewerKeys(bool loop, bool fill);

// --start: the first frame jumps to clockMs of demo clock, as a seek does (the scene replayed
// from its start, the music placed there).
void StartShowAt(DWORD clockMs);

// True while the show is paused: the clock and the music hold, and the frame only presents again.
bool IsShowHeld();
// Reads this frame's keys and acts on them; a jump replays up to its time and leaves the demo
// clock there, virtual, until EndJump. Past the end with --loop, jumps to the title. Returns
// false when the frame only shows the held picture again.
bool ReadViewerKeys();
// Places the music during a jump (true), or leaves it to the frame tick's start (false).
bool FollowMusicInJump(float t);
// After the jumped-to frame's scene is drawn: back to the wall clock from the shown time, the
// music resumed unless paused.
void EndJump();
// The on-screen display (Tab), drawn after every point a picture is read back.
void DrawViewerDisplay(const SceneRow* row);

// The demo clock's first millisecond of each scene, in show order (for Page Up / Page Down).
int SceneStartsMs(DWORD* starts, int capacity);
