// render.cpp - CRender: device creation and release, the frame bracket, texture-stage presets,
// material, frame-rate title, screenshots and the texture-table forwarders.
#include "render/render.h"

#include <cstdio>

#include "core/globals.h"
#include "core/logger.h"
#include "core/show_clock.h"
#include "platform/d3dx8/d3dx8.h"
#include "platform/window/clock.h"
#include "platform/window/window.h"
#include "render/render_globals.h"
#include "resources/texture_manager.h"

namespace {

// Frame statistics, one set for the program: frames since the last rate, the time of that rate
// (seconds) and the rate (frames per second).
DWORD s_dwFrames = 0;
float s_fLastTime = 0.0f;
float s_fFps = 0.0f;

// Highest screenshot number tried: "shot99998.bmp".
constexpr int kMaxShots = 99999;

bool FileExistsForReading(const char* name) {
    std::FILE* f = std::fopen(name, "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

}  // namespace

CRender::CRender() = default;

CRender::~CRender() {
    if (m_lpDevice) {
        m_lpDevice->SetTexture(0, nullptr);
        m_lpDevice->SetTexture(1, nullptr);
        m_lpDevice->SetTexture(2, nullptr);
    }
    delete m_pTextureManager;
    m_pTextureManager = nullptr;
    if (m_lpShotSurface) m_lpShotSurface->Release();
    if (m_lpTmpFlatVB) m_lpTmpFlatVB->Release();
    if (m_lpTmpMyVB) m_lpTmpMyVB->Release();
    if (m_lpRectVB) m_lpRectVB->Release();
    if (m_lpSprite) m_lpSprite->Release();
    if (m_lpDevice) m_lpDevice->Release();
    if (m_lpD3D) m_lpD3D->Release();
    m_lpShotSurface = nullptr;
    m_lpTmpFlatVB = m_lpTmpMyVB = m_lpRectVB = nullptr;
    m_lpSprite = nullptr;
    if (g_pDevice == m_lpDevice) g_pDevice = nullptr;
    m_lpDevice = nullptr;
    m_lpD3D = nullptr;
}

bool CRender::Init(HWND hWnd, unsigned width, unsigned height, bool bFullScreen) {
    m_lpD3D = Direct3DCreate8(D3D_SDK_VERSION);
    if (!m_lpD3D) {
        if (g_pLogger) g_pLogger->LogMessage("CRender::Init : wrong dx version\n");
        return false;
    }

    D3DDISPLAYMODE mode{};
    if (FAILED(m_lpD3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode))) {
        if (g_pLogger) g_pLogger->LogMessage("CRender::Init : Error receiving display adapters properties");
        return false;
    }

    m_hWnd = hWnd;
    m_dwWidth = width;
    m_dwHeight = height;
    m_bFullScreen = bFullScreen ? 1 : 0;

    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferCount = 1;
    pp.Windowed = bFullScreen ? FALSE : TRUE;
    pp.BackBufferFormat = mode.Format;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D24S8;
    if (bFullScreen) {
        pp.BackBufferWidth = width;
        pp.BackBufferHeight = height;
        pp.SwapEffect = D3DSWAPEFFECT_FLIP;
    } else {
        // 0 x 0: the window's client size.
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    }

    if (FAILED(m_lpD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hWnd, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                     &pp, &m_lpDevice)) ||
        !m_lpDevice) {
        m_lpDevice = nullptr;
        if (g_pLogger) g_pLogger->LogMessage("CRender::Init : Error creating Direct3D device");
        return false;
    }

    IDirect3DDevice8* dev = m_lpDevice;
    dev->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    dev->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    dev->SetRenderState(D3DRS_ZENABLE, TRUE);
    dev->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    dev->SetRenderState(D3DRS_CLIPPING, TRUE);
    dev->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    dev->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
    dev->SetRenderState(D3DRS_FOGENABLE, FALSE);
    dev->SetRenderState(D3DRS_WRAP0, 0);
    dev->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    dev->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);

    if (FAILED(dev->CreateVertexBuffer(kTmpVertices * sizeof(FLATVERTEX), D3DUSAGE_SOFTWAREPROCESSING,
                                       D3DFVF_FLATVERTEX, D3DPOOL_DEFAULT, &m_lpTmpFlatVB))) {
        m_lpTmpFlatVB = nullptr;
        if (g_pLogger) g_pLogger->LogMessage("CRender::Init : Error creating temporary VertexBuffer(FLATVERTEX)");
        return false;
    }
    if (FAILED(dev->CreateVertexBuffer(kTmpVertices * sizeof(MYVERTEX), D3DUSAGE_SOFTWAREPROCESSING,
                                       D3DFVF_MYVERTEX, D3DPOOL_DEFAULT, &m_lpTmpMyVB))) {
        m_lpTmpMyVB = nullptr;
        if (g_pLogger) g_pLogger->LogMessage("CRender::Init : Error creating temporary VertexBuffer(MYVERTEX)");
        return false;
    }
    if (FAILED(dev->CreateVertexBuffer(6 * sizeof(MYVERTEX), D3DUSAGE_SOFTWAREPROCESSING, D3DFVF_MYVERTEX,
                                       D3DPOOL_DEFAULT, &m_lpRectVB))) {
        m_lpRectVB = nullptr;
        if (g_pLogger) g_pLogger->LogMessage("cRender::Init : Error creating temporary VertexBuffer");
        return false;
    }
    if (FAILED(D3DXCreateSprite(dev, &m_lpSprite))) {
        m_lpSprite = nullptr;
        if (g_pLogger) g_pLogger->LogMessage("CRender::Init : Error creating d3dxSprite interface");
        return false;
    }

    m_pTextureManager = new CTextureManager(dev, m_lpD3D, static_cast<DWORD>(mode.Format));

    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 0.0f};
    D3DXVECTOR3 dir(0.0f, 1.0f, 0.0f);
    D3DXVec3Normalize(&dir, &dir);
    light.Direction = dir;
    light.Range = 1000.0f;
    dev->SetLight(0, &light);
    dev->LightEnable(0, TRUE);
    dev->SetRenderState(D3DRS_LIGHTING, TRUE);
    return true;
}

void CRender::LogDeviceError(HRESULT hr) {
    m_hr = hr;
    D3DXGetErrorStringA(hr, m_szError, sizeof(m_szError));
    if (g_pLogger) {
        g_pLogger->LogMessage("CRender::? : ");
        g_pLogger->LogMessage("%s", m_szError);
        g_pLogger->LogMessage("\n");
    }
}

bool CRender::BeginScene(int clearMode) {
    if (!m_lpDevice) return false;
    DWORD flags = D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER;
    if (clearMode == 0) flags = D3DCLEAR_TARGET;
    if (clearMode == 1) flags = D3DCLEAR_ZBUFFER;
    m_hr = m_lpDevice->Clear(0, nullptr, flags, m_dwClearColor, 1.0f, 0);
    if (FAILED(m_hr)) {
        LogDeviceError(m_hr);
        return false;
    }
    if (m_bInScene) return true;
    m_hr = m_lpDevice->BeginScene();
    if (FAILED(m_hr)) {
        LogDeviceError(m_hr);
        return false;
    }
    m_bInScene = 1;
    m_nSpriteTris = 0;
    return true;
}

bool CRender::EndScene() {
    if (m_bInScene && m_lpDevice) {
        m_lpDevice->EndScene();
        m_lpDevice->Present(nullptr, nullptr, nullptr, nullptr);
        m_bInScene = 0;
    }
    return true;
}

float CRender::GetFrameRate() { return s_fFps; }

void CRender::RestartStats(float rate) {
    s_fFps = rate;
    s_dwFrames = 0;
    s_fLastTime = static_cast<float>(timeGetTime()) * 0.001f;
}

void CRender::UpdateStats() {
    const float t = static_cast<float>(timeGetTime()) * 0.001f;
    ++s_dwFrames;
    if (t - s_fLastTime > 1.0f) {
        s_fFps = static_cast<float>(s_dwFrames) / (t - s_fLastTime);
        s_dwFrames = 0;
        s_fLastTime = t;
    }
    if (!m_bFullScreen) {
        char title[64];
        // Demo time in seconds, negative during the lead-in.
        const float demoTime = static_cast<float>(static_cast<int>(g_dwElapsed) - static_cast<int>(kLeadInMs)) / 1000.0f;
        std::snprintf(title, sizeof(title), "%4.2f - %7.02f fps", static_cast<double>(demoTime),
                      static_cast<double>(s_fFps));
        SetWindowTextA(m_hWnd, title);
    }
}

void CRender::SetTextureMode(int mode, int stage) {
    if (!m_lpDevice) return;
    IDirect3DDevice8* dev = m_lpDevice;
    const DWORD s = static_cast<DWORD>(stage);
    switch (mode) {
        case TM_ALPHABLEND:
            dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
            dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
            dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
            dev->SetTextureStageState(s, D3DTSS_COLORARG1, D3DTA_TEXTURE);
            dev->SetTextureStageState(s, D3DTSS_COLOROP, D3DTOP_MODULATE);
            dev->SetTextureStageState(s, D3DTSS_COLORARG2, D3DTA_CURRENT);
            break;
        case TM_SPHEREMAP:
            dev->SetTextureStageState(s, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACENORMAL);
            dev->SetTextureStageState(s, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
            break;
        case TM_NOTEXGEN:
            dev->SetTextureStageState(s, D3DTSS_TEXCOORDINDEX, 0);
            dev->SetTextureStageState(s, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
            break;
        case TM_TEXTUREONLY:
            dev->SetTextureStageState(s, D3DTSS_COLORARG1, D3DTA_TEXTURE);
            dev->SetTextureStageState(s, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
            dev->SetTextureStageState(s, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
            dev->SetTextureStageState(s, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
            break;
        default:
            break;
    }
}

bool CRender::SetMaterial(float a, float r, float g, float b) {
    D3DMATERIAL8 mtrl{};
    mtrl.Diffuse = D3DCOLORVALUE{r, g, b, a};
    mtrl.Ambient = D3DCOLORVALUE{r, g, b, a};
    if (m_lpDevice) m_lpDevice->SetMaterial(&mtrl);
    return true;
}

void CRender::ScreenShot() {
    if (!m_lpDevice || FAILED(m_lpDevice->GetRenderTarget(&m_lpShotSurface)) || !m_lpShotSurface) {
        m_lpShotSurface = nullptr;
        if (g_pLogger) g_pLogger->LogMessage("CRender::ScreenShot : Couldn't get the render target surface\n");
        return;
    }
    // A current directory that takes no files sends the shot where the log goes then.
    if (!SaveShot("") && !SaveShot(FallbackDirectory() + "/")) {
        if (g_pLogger) g_pLogger->LogMessage("CRender::ScreenShot : No shot saved\n");
    }
    m_lpShotSurface->Release();
    m_lpShotSurface = nullptr;
}

bool CRender::SaveShot(const std::string& folder) {
    for (int i = 0; i < kMaxShots; ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "shot%05d.bmp", i);
        const std::string path = folder + name;
        if (FileExistsForReading(path.c_str())) continue;
        // A save that fails is said so, never reported as saved.
        if (SUCCEEDED(D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_BMP, m_lpShotSurface, nullptr, nullptr))) {
            if (g_pLogger) g_pLogger->LogMessage("CRender::ScreenShot : Target surface saved as %s\n", path.c_str());
            return true;
        }
        if (g_pLogger) g_pLogger->LogMessage("CRender::ScreenShot : Couldn't save the target surface as %s\n", path.c_str());
        return false;
    }
    return false;
}

bool CRender::LoadTexture(const char* file, const char* name) {
    return m_pTextureManager && m_pTextureManager->Load(file, name, nullptr);
}

bool CRender::LoadTextureA(const char* file, const char* alphaFile, const char* name) {
    return m_pTextureManager && m_pTextureManager->LoadA(file, alphaFile, name, nullptr);
}

bool CRender::SetTexture(const char* name, int stage) {
    if (!m_lpDevice) return false;
    if (!name) {
        m_lpDevice->SetTexture(static_cast<DWORD>(stage), nullptr);
        return true;
    }
    if (!m_pTextureManager) return false;
    DWORD w = m_dwTexWidth, h = m_dwTexHeight;
    m_lpCurrentTexture = m_pTextureManager->GetTexture(name, &w, &h);
    if (!m_lpCurrentTexture) return false;
    m_dwTexWidth = w;
    m_dwTexHeight = h;
    m_lpDevice->SetTexture(static_cast<DWORD>(stage), m_lpCurrentTexture);
    return true;
}

bool CRender::SetTextureByIndex(int index, int stage) {
    if (!m_lpDevice) return false;
    if (!m_pTextureManager || index < 0 || index >= m_pTextureManager->GetCount()) {
        m_lpDevice->SetTexture(static_cast<DWORD>(stage), nullptr);
        return true;
    }
    IDirect3DTexture8* tex = m_pTextureManager->GetTexture(index, &m_dwTexWidth, &m_dwTexHeight);
    if (!tex || tex == m_lpCurrentTexture) return false;
    m_lpCurrentTexture = tex;
    m_lpDevice->SetTexture(static_cast<DWORD>(stage), tex);
    return true;
}

bool CRender::SetTexturePtr(IDirect3DTexture8* pTexture, int stage) {
    if (!m_lpDevice) return true;
    if (!pTexture) {
        m_lpDevice->SetTexture(static_cast<DWORD>(stage), nullptr);
        return true;
    }
    if (pTexture != m_lpCurrentTexture) {
        m_lpCurrentTexture = pTexture;
        m_lpDevice->SetTexture(static_cast<DWORD>(stage), pTexture);
    }
    return true;
}

float CRender::PixelToU(unsigned x) const {
    return m_dwTexWidth ? static_cast<float>(x) / static_cast<float>(m_dwTexWidth) : 0.0f;
}

float CRender::PixelToV(unsigned y) const {
    return m_dwTexHeight ? static_cast<float>(y) / static_cast<float>(m_dwTexHeight) : 0.0f;
}
