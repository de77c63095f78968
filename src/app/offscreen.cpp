// offscreen.cpp - one frame at a chosen demo time, rendered without a window on the virtual clock,
// and the start-up and replay that the capture shares with it. The frames before a chosen time
// are replayed from the start of that time's scene at 60 frames per second, so whatever a scene
// carries from frame to frame is as in a real run; replayed frames keep every state change but
// rasterise nothing.
#include "app/offscreen.h"

#include "core/carried_state.h"
#include "core/globals.h"
#include "core/logger.h"
#include "core/show_clock.h"
#include "app/demo.h"
#include "app/frame_tick.h"
#include "app/scene_schedule.h"
#include "app/viewer_keys.h"
#include "capture/frame_capture.h"
#include "platform/d3d8/d3d8_ext.h"
#include "platform/fsound/fmod.h"
#include "platform/fsound/fsound_ext.h"
#include "platform/window/clock.h"
#include "platform/window/offscreen_window.h"
#include "render/render_globals.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// The replay's frame rate.
constexpr int kReplayFps = 60;
// The virtual clock's reading at the first frame (any non-zero value: 0 means "not started").
constexpr DWORD kClockBase = 1000;

// The first whole millisecond of the demo clock at which the scene that shows at targetMs begins.
DWORD SceneStartMs(DWORD targetMs) {
    const SceneRow* target = FindSceneRow(DemoTimeOf(targetMs));
    DWORD ms = targetMs;
    // Walk back over every row of the same scene (fx01 spans three rows of the schedule).
    while (ms > 0) {
        const SceneRow* row = FindSceneRow(DemoTimeOf(ms - 1));
        if (!row || !target || row->render != target->render) break;
        --ms;
    }
    return ms;
}

}  // namespace

bool RunFrameAt(DWORD elapsedMs, capture::Picture* sink) {
    SetClockAt(elapsedMs);
    return FrameTick(g_hWnd, kClockBase + elapsedMs, sink);
}

void SetClockAt(DWORD elapsedMs) { velunar::clock::SetVirtualTime(kClockBase + elapsedMs); }

namespace {
int RenderFrame(const VelunarOptions& opts);
}

int RunAt(const VelunarOptions& opts) {
    if (!(opts.at >= kShowStart && opts.at <= kShowEnd)) {
        std::fprintf(stderr, "velunar: --at %g is outside the show (%g ... %g seconds)\n", opts.at, kShowStart,
                     kShowEnd);
        return 2;
    }
    if (opts.shot.empty()) {
        std::fprintf(stderr, "velunar: --at needs --shot FILE.png\n");
        return 2;
    }
    // The same log as a real run, kept only with "-debug".
    g_pLogger = new CLogger("debug.txt", 20);
    const int status = RenderFrame(opts);
    delete g_pLogger;
    g_pLogger = nullptr;
    // A failed run keeps its log, like a failed start-up.
    if (!g_bDebug && status == 0) std::remove("debug.txt");
    return status;
}

namespace {

int RenderFrame(const VelunarOptions& opts) {
    if (const int status = StartOffscreen()) return status;
    const DWORD targetMs = DemoClockMsFor(opts.at);
    ReplayTo(targetMs);
    capture::Picture shot;
    if (!RunFrameAt(targetMs, &shot)) {
        std::fprintf(stderr, "velunar: could not read the frame back\n");
        return 1;
    }
    std::string error;
    if (!capture::WritePng(opts.shot, shot, &error)) {
        std::fprintf(stderr, "velunar: cannot write %s: %s\n", opts.shot.c_str(), error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int StartOffscreen() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    velunar::clock::UseVirtual(true);
    velunar::clock::SetVirtualTime(kClockBase);
    FSOUND_Velunar_UseVirtualClock(true);
    D3D8_SetVsync(false);

    g_bFullScreen = 0;
    g_hWnd = velunar::window::CreateOffscreenWindow(800, 600);
    if (!g_hWnd) {
        std::fprintf(stderr, "velunar: cannot create an offscreen window (see debug.txt)\n");
        return 1;
    }
    if (!InitDemo()) {
        std::fprintf(stderr, "velunar: start-up failed (the reason is in debug.txt)\n");
        return 1;
    }
    g_bInitialized = 1;
    g_bActive = 1;
    g_dwStartTime = kClockBase;
    // A run that begins after demo time 0 hears the music from where it is.
    g_bSeekMusicOnStart = true;
    return 0;
}

void ReplayTo(DWORD targetMs) {
    const DWORD startMs = SceneStartMs(targetMs);
    D3D8_SetSkipDraws(true);
    for (long n = 0;; ++n) {
        const DWORD ms = startMs + static_cast<DWORD>(n * 1000 / kReplayFps);
        if (ms >= targetMs) break;
        RunFrameAt(ms);
    }
    D3D8_SetSkipDraws(false);
}

void JumpTo(DWORD targetMs) {
    // The replayed frames and the shown one read the demo clock from kClockBase.
    g_dwStartTime = kClockBase;
    RestoreStartUpState();
    ReplayTo(targetMs);
    g_dwElapsed = targetMs;
}

void ResumeWallClock() {
    g_dwStartTime = timeGetTime() - g_dwElapsed;
}

void PrepareStart(const VelunarOptions& opts) {
    if (!opts.hasStart) return;
    // The first frame jumps there as the viewer's seeks do, so it shows what --at shows.
    StartShowAt(DemoClockMsFor(opts.start));
    g_bSeekMusicOnStart = opts.start > 0.0;
}
