// frame_tick.cpp - one frame of the show, run for every paint request and by the offscreen runs:
// the demo clock from the reading it is handed, input, the music start, the scheduled scene and
// its fades, the letterbox bars, the two keys, the picture to its sink, present.
#include "app/frame_tick.h"

#include "app/demo.h"
#include "app/scene_schedule.h"
#include "app/viewer_keys.h"
#include "core/globals.h"
#include "core/screen_layout.h"
#include "core/show_clock.h"
#include "input/input_globals.h"
#include "input/keyboard.h"
#include "input/mouse.h"
#include "platform/d3d8/d3d8_ext.h"
#include "platform/dinput8/dinput8.h"
#include "platform/fsound/fmod.h"
#include "platform/window/window.h"
#include "render/render.h"
#include "render/render_globals.h"
#include "sound/music_player.h"

#include <chrono>
#include <thread>

bool g_bSeekMusicOnStart = false;

int MusicPositionOf(float t) {
    // The stream's position counts PCM frames at the mixing rate.
    int rate = FSOUND_GetOutputRate();
    if (rate <= 0) rate = 44100;
    return static_cast<int>(t * static_cast<float>(rate));
}

void SeekMusicTo(float t) {
    if (g_pMusic && t > 0.0f) g_pMusic->SetPosition(MusicPositionOf(t));
}

namespace {

// Milliseconds between the presents of a paused show.
constexpr int kHeldFrameMs = 15;

// Music is started at the first frame with t >= 0; a run that begins later in the show seeks it.
void StartMusic(float t) {
    if (!g_pMusic || g_pMusic->m_bPlaying) return;
    g_pMusic->Play(0);
    g_pMusic->SetVolume(1.0f);
    FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), TRUE);
    if (g_bSeekMusicOnStart && g_pMusic->m_bPlaying) SeekMusicTo(t);
}

// The bars cover every scene and fade; only the vertex colour counts.
void DrawBars() {
    g_pRender->SetTextureMode(TM_TEXTUREONLY, 0);
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    g_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    g_pRender->DrawRect(0.0f, 0.0f, kScreenWidth, kBandTop, 0.1f, 0xFF000000u);
    g_pRender->DrawRect(0.0f, kBandBottom, kScreenWidth, kScreenHeight, 0.1f, 0xFF000000u);
}

}  // namespace

bool FrameTick(HWND hWnd, DWORD nowMs, capture::Picture* sink) {
    SetCursor(nullptr);
    if (!g_pRender || g_bInitialized != 1 || g_bActive != 1) return false;

    if (g_dwStartTime == 0) g_dwStartTime = nowMs;
    // A paused show holds its clock where it stopped.
    if (IsShowHeld()) g_dwStartTime = nowMs - g_dwElapsed;
    g_dwElapsed = nowMs - g_dwStartTime;

    if (g_pMouse) g_pMouse->Poll();
    if (g_pKeyboard) g_pKeyboard->Poll();

    // The viewer's keys may jump (the clock then reads the new time) or hold the picture.
    const bool drawScene = ReadViewerKeys();
    const float t = DemoTimeOf(g_dwElapsed);
    const SceneRow* row = FindSceneRow(t);
    if (drawScene) {
        if (!FollowMusicInJump(t) && t >= 0.0f) StartMusic(t);
        if (!row) {
            DestroyWindow(hWnd);
            return false;
        }
        // Everything outside the band is covered by the bars below: the scene's draws may skip it.
        const RECT band{0, kBandTop, kScreenWidth, kBandBottom};
        D3D8_SetBackBufferKeep(g_pDevice, &band);
        row->render(t);
        for (int i = 0; i < row->fadeCount; ++i) CallFade(row->fades[i], t);
        D3D8_SetBackBufferKeep(g_pDevice, nullptr);
        EndJump();
    } else {
        // The held picture is still in the back buffer: only what lies over it is drawn again.
        g_pDevice->BeginScene();
    }

    DrawBars();

    if (g_pKeyboard && g_pKeyboard->IsKeyDown(DIK_F11)) g_pRender->ScreenShot();
    if (g_pKeyboard && g_pKeyboard->IsKeyDown(DIK_ESCAPE)) DestroyWindow(hWnd);

    g_pRender->UpdateStats();
    const bool read = sink && capture::ReadBackBuffer(g_pDevice, *sink);
    DrawViewerDisplay(row);
    if (drawScene) {
        g_pRender->EndScene();
    } else {
        g_pDevice->EndScene();
        g_pDevice->Present(nullptr, nullptr, nullptr, nullptr);
        // Nothing moves while paused: a few redraws a second keep the window painted.
        std::this_thread::sleep_for(std::chrono::milliseconds(kHeldFrameMs));
    }
    return !sink || read;
}
