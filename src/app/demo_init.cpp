// demo_init.cpp - start-up: every long-lived object in its fixed order. Only the renderer's
// failure stops the show; everything else that fails is logged where it fails and left out.
#include "app/demo.h"

#include "core/carried_state.h"
#include "core/globals.h"
#include "core/screen_layout.h"
#include "fx/grid.h"
#include "input/input_globals.h"
#include "input/keyboard.h"
#include "input/mouse.h"
#include "render/bitmap_font.h"
#include "render/camera.h"
#include "render/render.h"
#include "render/render_globals.h"
#include "render/texture_renderer.h"
#include "resources/sprite.h"
#include "scenes/scenes.h"
#include "core/logger.h"
#include "platform/fsound/fmod.h"
#include "platform/fsound/fsound_ext.h"
#include "sound/fmod_music_player.h"
#include "core/data_root.h"

MusicPlayer* g_pMusic = nullptr;

int RunSoundSetup() {
    g_pMusic = new FmodMusicPlayer(g_hWnd);
    const int result = g_pMusic->ShowSetupDialog();
    if (result == 1 && g_pLogger) {
        const char* driver = FSOUND_GetDriverName(FSOUND_GetDriver());
        g_pLogger->LogMessage("RunSoundSetup : %d Hz, output %d, driver %d \"%s\", mixer %d\n", g_pMusic->m_nOutputRate,
                              FSOUND_GetOutput(), FSOUND_GetDriver(), driver ? driver : "", FSOUND_GetMixer());
    } else if (g_pLogger) {
        g_pLogger->LogMessage(result == 0 ? "RunSoundSetup : Cancelled\n"
                                          : "RunSoundSetup : The dialog could not be shown\n");
    }
    return result;
}

void (*g_pfnSceneInit)(const char* name) = nullptr;

namespace {

const char kTrack[] = "velunar.mp3";

// The scene inits in start-up order: each continues the random sequence where the one before left it.
struct SceneInit {
    const char* name;
    void (*init)();
};
constexpr SceneInit kSceneInits[] = {
    {"InitIntro", InitIntro}, {"InitFx01", InitFx01}, {"InitFx02", InitFx02}, {"InitFx03", InitFx03},
    {"InitFx04", InitFx04},   {"InitFx05", InitFx05}, {"InitFx06", InitFx06}, {"InitFx07", InitFx07},
    {"InitFx08", InitFx08},   {"InitFx09", InitFx09}, {"InitFx10", InitFx10},
};

}  // namespace

bool InitDemo() {
    // Checked before anything opens: without data/ there is no show to start.
    if (!ChooseDataRoot()) return false;
    // The whole track is decoded on the second core while the pictures and meshes load.
    FSOUND_Velunar_Prefetch(DataPath(kTrack).c_str());
    g_pRender = new CRender;
    if (!g_pRender->Init(g_hWnd, 800, 600, g_bFullScreen != 0)) return false;
    g_pRender->SetFieldOfView(2.0f);
    g_pDevice = g_pRender->GetDevice();

    g_pFontSmall = new BitmapFont("Lucida Console", 10, 1);
    g_pFontSmall->Create(g_pDevice);
    g_pFontSmall->CreateBuffers();
    g_pFontLarge = new BitmapFont("Lucida Console", 32, 1);
    g_pFontLarge->Create(g_pDevice);
    g_pFontLarge->CreateBuffers();

    g_pTexRenderer = new CTextureRenderer(g_pDevice, 1, 256, 256, D3DFMT_A8R8G8B8, D3DFMT_D24S8);

    g_pRender->LoadTexture("data/back2.jpg", "tex1");
    g_pRender->LoadTexture("data/back.jpg", "tex2");
    g_pRender->LoadTexture("data/back3.jpg", "tex3");
    g_pRender->LoadTexture("data/logo.png", "logo");
    g_pRender->LoadTexture("data/flara1.jpg", "flara1");
    g_pRender->LoadTexture("data/flara2.jpg", "flara2");
    g_pRender->LoadTexture("data/flara3.jpg", "flara3");
    g_pRender->LoadTexture("data/stq1.png", "stq1");
    g_pRender->LoadTexture("data/stq2.png", "stq2");
    g_pRender->LoadTexture("data/stq3.png", "stq3");
    g_pRender->LoadTexture("data/stq4.png", "stq4");
    g_pRender->LoadTexture("data/stq5.png", "stq5");
    g_pRender->LoadTexture("data/black.jpg", "black");
    g_pRender->LoadTexture("data/white.jpg", "white");
    g_pRender->LoadTextureA("data/pas1.jpg", "data/pas1alpha.jpg", "CPaski");

    g_pMouse = new CMouse(g_hWnd, 1, 1, 1);
    g_pMouse->m_fX = 400.0f;
    g_pMouse->m_fY = 300.0f;
    g_pKeyboard = new CKeyboard(g_hWnd, 1, 1, 1, 1);

    fx** grids[] = {&g_pFx1, &g_pFx2, &g_pFx3};
    for (fx** grid : grids) {
        *grid = new fx;
        (*grid)->Init(g_pRender, kScreenWidth, kBandHeight, 16);
        CarryObjectBetweenFrames(*grid);
    }
    CarryBetweenFrames(fx::s_rotation);
    CarryBetweenFrames(fx::s_planeShift);

    g_pFlareSprite = new CSprite("data/flara1.jpg", 0, "flarencja", g_pRender->GetTextureManager());
    g_pFlareSprite->m_fAlpha = 1.0f;

    g_pCamera = new Camera;
    g_pCamera->Set(0.0f, 1200.0f, 500.0f, 0.0f, 0.0f, 0.0f);
    g_pRender->SetCamera(g_pCamera);

    for (const SceneInit& scene : kSceneInits) {
        if (g_pfnSceneInit) g_pfnSceneInit(scene.name);
        scene.init();
    }
    if (g_pfnSceneInit) g_pfnSceneInit(nullptr);

    // Already there when the sound setup dialog ran, holding its choices.
    if (!g_pMusic) g_pMusic = new FmodMusicPlayer(g_hWnd);
    g_pMusic->Init();
    g_pMusic->Load(DataPath(kTrack).c_str(), 1);
    g_pMusic->SetVolume(0.1f);
    KeepStartUpState();
    return true;
}
