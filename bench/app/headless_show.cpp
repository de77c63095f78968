// headless_show.cpp - the show started offscreen on the virtual clock for the benchmarks.
#include "headless_show.h"

#include "app/demo.h"
#include "app/frame_tick.h"
#include "platform/d3d8/d3d8_ext.h"
#include "platform/fsound/fsound_ext.h"
#include "platform/window/clock.h"
#include "platform/window/offscreen_window.h"

#include <cstdlib>
#include <unistd.h>

namespace velunar::bench {

bool OpenHeadless() {
    // VELUNAR_BENCH_RUN_DIR points at another runnable tree (say, a copy of the data before a change),
    // so two sets of assets can be measured by the same program on the same load.
    const char* dir = std::getenv("VELUNAR_BENCH_RUN_DIR");
    if (chdir(dir && *dir ? dir : VELUNAR_RUN_DIR) != 0) return false;
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    velunar::clock::UseVirtual(true);
    velunar::clock::SetVirtualTime(kBase);
    FSOUND_Velunar_UseVirtualClock(true);
    D3D8_SetVsync(false);
    g_bFullScreen = 0;
    g_hWnd = velunar::window::CreateOffscreenWindow(800, 600);
    return g_hWnd != nullptr;
}

bool StartShow() {
    if (!InitDemo()) return false;
    g_bInitialized = 1;
    g_bActive = 1;
    g_dwStartTime = kBase;
    Tick(0);
    return true;
}

void Tick(DWORD ms) {
    velunar::clock::SetVirtualTime(kBase + ms);
    FrameTick(g_hWnd, kBase + ms);
}

}  // namespace velunar::bench
