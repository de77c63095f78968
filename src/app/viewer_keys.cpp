// viewer_keys.cpp - pause, seeks, scene jumps, the on-screen display and the looping show.
#include "app/viewer_keys.h"

#include <algorithm>
#include <cstdio>

#include "app/demo.h"
#include "app/frame_tick.h"
#include "app/offscreen.h"
#include "core/globals.h"
#include "core/logger.h"
#include "core/screen_layout.h"
#include "core/show_clock.h"
#include "input/input_globals.h"
#include "input/keyboard.h"
#include "platform/d3d8/d3d8_ext.h"
#include "platform/dinput8/dinput8.h"
#include "platform/fsound/fmod.h"
#include "render/bitmap_font.h"
#include "render/render.h"
#include "render/render_globals.h"
#include "sound/music_player.h"

namespace {

// Left and Right move by this much demo clock.
constexpr DWORD kSeekMs = 5000;
// The demo clock at the title picture's first frame.
constexpr DWORD kTitleMs = 0;

enum Key { kPause, kBack, kForward, kPrevScene, kNextScene, kTitle, kDisplay, kKeyCount };
constexpr unsigned kKeyCodes[kKeyCount] = {DIK_SPACE, DIK_LEFT, DIK_RIGHT, DIK_PRIOR, DIK_NEXT, DIK_HOME, DIK_TAB};

struct Viewer {
    bool enabled = false;
    bool loop = false;
    bool fill = false;
    bool held = false;
    bool display = false;
    bool wasDown[kKeyCount] = {};
    // A jump in progress: from its start until the frame at its time is drawn.
    bool jumping = false;
    // The replay inside a jump runs frame ticks of its own, which read no keys.
    bool replaying = false;
    // The music's position during a jump counts from its first frame at or after demo time 0,
    // as in a run that starts there.
    bool musicBased = false;
    float rateBeforeJump = 0.0f;
    DWORD musicBaseMs = 0;
    long long musicBasePos = 0;
    // --start: the first frame jumps there.
    bool startPending = false;
    DWORD startMs = 0;
};
Viewer g_viewer;

bool HasStream() { return g_pMusic && g_pMusic->m_bLoaded && g_pMusic->m_nKind == MusicPlayer::kStream; }

// Before a jump: silence while the scene replays; in the lead-in the music is rewound to be
// started at demo time 0 as on the first pass, after it the track is started if it is not.
void PrepareMusicForJump(float t) {
    if (!HasStream()) return;
    FSOUND_SetPaused(FSOUND_ALL, TRUE);
    if (t < 0.0f) {
        FSOUND_Stream_Stop(g_pMusic->m_pStream);
        g_pMusic->m_bPlaying = 0;
        g_pMusic->SetPosition(0);
        return;
    }
    g_pMusic->Play(0);
    g_pMusic->SetVolume(1.0f);
    FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), TRUE);
}

// `how` names the jump in the log: "jump to" for the keys, "start at" for --start.
void Jump(DWORD targetMs, const char* how = "jump to") {
    targetMs = std::min(targetMs, kShowEndMs);
    const float t = DemoTimeOf(targetMs);
    if (g_pLogger)
        g_pLogger->LogMessage("Viewer : %s demo time %.3f (clock %lu ms)\n", how, static_cast<double>(t),
                              static_cast<unsigned long>(targetMs));
    PrepareMusicForJump(t);
    // A jump while another's frame is not yet drawn keeps the rate from before the first.
    if (!g_viewer.jumping) g_viewer.rateBeforeJump = CRender::GetFrameRate();
    g_viewer.jumping = true;
    g_viewer.musicBased = false;
    g_viewer.replaying = true;
    JumpTo(targetMs);
    g_viewer.replaying = false;
}

// The first millisecond whose frame shows the scene of row `index`.
DWORD FirstMsOf(const SceneRow* rows, int index) {
    if (index == 0) return 0;
    DWORD ms = DemoClockMsFor(rows[index].lo);
    // The float demo time may fall either side of the boundary at the computed millisecond.
    while (ms > 0 && FindSceneRow(DemoTimeOf(ms - 1)) && FindSceneRow(DemoTimeOf(ms - 1))->render == rows[index].render) --ms;
    while (FindSceneRow(DemoTimeOf(ms)) && FindSceneRow(DemoTimeOf(ms))->render != rows[index].render) ++ms;
    return ms;
}

// The start of the previous or next scene from `nowMs`; past the last scene, the end.
DWORD NeighbourSceneMs(DWORD nowMs, int direction) {
    DWORD starts[32];
    const int n = SceneStartsMs(starts, 32);
    int current = 0;
    for (int i = 0; i < n; ++i)
        if (starts[i] <= nowMs) current = i;
    const int next = current + direction;
    if (next < 0) return starts[0];
    if (next >= n) return kShowEndMs;
    return starts[next];
}

bool Pressed(Key k) {
    const bool down = g_pKeyboard && g_pKeyboard->IsKeyDown(kKeyCodes[k]);
    const bool pressed = down && !g_viewer.wasDown[k];
    g_viewer.wasDown[k] = down;
    return pressed;
}

void HoldMusic(bool held) {
    if (HasStream()) FSOUND_SetPaused(FSOUND_ALL, held ? TRUE : FALSE);
}

}  // namespace

int SceneStartsMs(DWORD* starts, int capacity) {
    int count = 0;
    const SceneRow* rows = SceneRows(&count);
    int n = 0;
    for (int i = 0; i < count && n < capacity; ++i)
        if (i == 0 || rows[i].render != rows[i - 1].render) starts[n++] = FirstMsOf(rows, i);
    return n;
}

void EnableViewerKeys(bool loop, bool fill) {
    g_viewer.enabled = true;
    g_viewer.loop = loop;
    g_viewer.fill = fill;
}

void StartShowAt(DWORD clockMs) {
    g_viewer.startPending = true;
    g_viewer.startMs = clockMs;
}

bool IsShowHeld() { return g_viewer.held && !g_viewer.replaying; }

bool ReadViewerKeys() {
    if (!g_viewer.enabled || g_viewer.replaying) return true;
    if (g_viewer.startPending) {
        g_viewer.startPending = false;
        Jump(g_viewer.startMs, "start at");
        return true;
    }
    bool pressed[kKeyCount];
    for (int k = 0; k < kKeyCount; ++k) pressed[k] = Pressed(static_cast<Key>(k));

    if (pressed[kDisplay]) g_viewer.display = !g_viewer.display;
    if (pressed[kPause]) {
        g_viewer.held = !g_viewer.held;
        HoldMusic(g_viewer.held);
        if (g_pLogger)
            g_pLogger->LogMessage("Viewer : %s (clock %lu ms)\n", g_viewer.held ? "paused" : "playing",
                                  static_cast<unsigned long>(g_dwElapsed));
    }

    // One jump a frame, to the newest target: keys pressed together do not queue up replays.
    const DWORD now = g_dwElapsed;
    bool jump = false;
    DWORD target = now;
    if (pressed[kBack]) {
        target = now > kSeekMs ? now - kSeekMs : kTitleMs;
        jump = true;
    }
    if (pressed[kForward]) {
        target = now + kSeekMs;
        if (target > kShowEndMs && g_viewer.loop) target = kTitleMs;
        jump = true;
    }
    if (pressed[kPrevScene]) {
        target = NeighbourSceneMs(now, -1);
        jump = true;
    }
    if (pressed[kNextScene]) {
        target = NeighbourSceneMs(now, +1);
        jump = true;
    }
    if (pressed[kTitle]) {
        target = kTitleMs;
        jump = true;
    }
    // The end of the show, with --loop: the title again, music included.
    if (!jump && g_viewer.loop && !g_viewer.held && !FindSceneRow(DemoTimeOf(now))) {
        target = kTitleMs;
        jump = true;
    }
    if (jump) Jump(target);
    return jump || !g_viewer.held;
}

bool FollowMusicInJump(float t) {
    if (!g_viewer.jumping) return false;
    if (!HasStream() || t < 0.0f) return true;
    const int rate = FSOUND_GetOutputRate() > 0 ? FSOUND_GetOutputRate() : 44100;
    if (!g_viewer.musicBased) {
        g_viewer.musicBased = true;
        g_viewer.musicBaseMs = g_dwElapsed;
        g_viewer.musicBasePos = t > 0.0f ? MusicPositionOf(t) : 0;
    }
    // Whole milliseconds since the first frame, as the music's own clock counts them.
    const long long pos = g_viewer.musicBasePos + static_cast<long long>(g_dwElapsed - g_viewer.musicBaseMs) * rate / 1000;
    g_pMusic->SetPosition(static_cast<int>(pos));
    return true;
}

void EndJump() {
    if (!g_viewer.jumping || g_viewer.replaying) return;
    g_viewer.jumping = false;
    ResumeWallClock();
    // The replayed frames were counted as shown ones: the rate before the jump stands until a
    // second of shown frames has been measured.
    CRender::RestartStats(g_viewer.rateBeforeJump);
    // In the lead-in the music waits, rewound, for the frame tick to start it at demo time 0.
    if (HasStream()) FSOUND_SetPaused(FSOUND_ALL, g_viewer.held ? TRUE : FALSE);
}

void DrawViewerDisplay(const SceneRow* row) {
    // The line's rows of the top bar: the bar's middle, or with --fill its last rows, which are then
    // shown above the band while the display is (the band never carries the line, so a held
    // picture and F11 shots stay clean).
    constexpr int kFillLineRows = 24;
    const int lineTop = g_viewer.fill ? kBandTop - kFillLineRows + 4 : 40;
    if (g_viewer.fill) {
        const RECT withLine{0, kBandTop - kFillLineRows, kScreenWidth, kBandBottom};
        D3D8_SetDeviceShownRect(g_pDevice, g_viewer.display ? &withLine : nullptr);
    }
    if (!g_viewer.display || !g_pFontSmall) return;
    char text[96];
    std::snprintf(text, sizeof text, "%7.2f s   %s   %5.1f fps%s", static_cast<double>(DemoTimeOf(g_dwElapsed)),
                  row ? row->name : "end", static_cast<double>(CRender::GetFrameRate()),
                  g_viewer.held ? "   paused" : "");
    // In the top bar, left: a line 16 pixels high, square pixels on the 800 x 600 screen.
    constexpr float kLine = 16.0f / kScreenHeight;
    constexpr float kX = -0.96f;
    const float y = (static_cast<float>(lineTop) - kScreenHeight / 2.0f) / (kScreenHeight / 2.0f);
    g_pFontSmall->DrawString(kX, y, 0.0f, kLine * kScreenHeight / kScreenWidth, kLine, 0xFFE0E0E0u, text, 0);
}
