// demo.h - the demo's start-up, called by the window procedure and the offscreen runs.
// Depends on: the window layer's handle type, the music interface.
#pragma once

#include "platform/wintypes.h"

class MusicPlayer;

// --setup: creates the music player early and runs its sound setup dialog over the window.
// 1 after OK (the choices are logged and kept for the player's Init), 0 after Cancel, -1 when
// the dialog could not be shown.
int RunSoundSetup();
// Creates every long-lived object in the fixed start-up order; false only when the renderer fails.
bool InitDemo();
// Told the name of each scene init ("InitIntro" ... "InitFx10") as it begins, and null once the
// last has ended; null in the show. Tests attribute what start-up does to each init with it.
extern void (*g_pfnSceneInit)(const char* name);

// The music player created last by start-up and started by the frame tick.
extern MusicPlayer* g_pMusic;
