// texture_manager.cpp - CTextureManager: the format probe, the three loaders and the lookups.
#include "resources/texture_manager.h"

#include <cstring>
#include <string>

#include "core/logger.h"
#include "platform/d3d8/d3d8.h"
#include "platform/d3dx8/d3dx8.h"
#include "resources/alpha_channel.h"
#include "resources/image_load.h"
#include "core/data_root.h"

namespace {

const char* Str(const char* s) { return s ? s : "(null)"; }

// Extension tests look at a lower-cased copy; the file itself is opened by the path as given.
std::string Lower(const char* s) {
    std::string out = s ? s : "";
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool Contains(const std::string& s, const char* what) { return s.find(what) != std::string::npos; }

bool IsJpegName(const std::string& lower) { return Contains(lower, ".jpg") || Contains(lower, ".jpeg"); }

void Log(const char* text) {
    if (g_pLogger) g_pLogger->LogMessage("%s", text);
}

}  // namespace

CTextureManager::CTextureManager(IDirect3DDevice8* pDevice, IDirect3D8* pD3D, DWORD dwDesktopFormat)
    : m_pDevice(pDevice) {
    // Without an explicit Direct3D object: the device's own with the desktop mode of the default adapter.
    IDirect3D8* pOwned = nullptr;
    if (!pD3D && pDevice && SUCCEEDED(pDevice->GetDirect3D(&pOwned)) && pOwned) {
        pD3D = pOwned;
        D3DDISPLAYMODE mode{};
        if (SUCCEEDED(pD3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode)))
            dwDesktopFormat = static_cast<DWORD>(mode.Format);
    }
    struct Candidate {
        D3DFORMAT format;
        const char* label;
    };
    // The last supported candidate wins, so the richest alpha format is preferred.
    static const Candidate kCandidates[] = {
        {D3DFMT_A1R5G5B5, "CTextureManager::CTextureManager : Checking texture format D3DFMT_14R5G5B5 : "},
        {D3DFMT_A4R4G4B4, "CTextureManager::CTextureManager : Checking texture format D3DFMT_A4R4G4B4 : "},
        {D3DFMT_A8R8G8B8, "CTextureManager::CTextureManager : Checking texture format D3DFMT_A8R8G8B8 : "},
    };
    for (const Candidate& c : kCandidates) {
        Log(c.label);
        const bool ok = pD3D && SUCCEEDED(pD3D->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL,
                                                                  static_cast<D3DFORMAT>(dwDesktopFormat), 0,
                                                                  D3DRTYPE_TEXTURE, c.format));
        Log(ok ? "SUPPORTED\n" : "NOT SUPPORTED\n");
        if (ok) m_dwPreferredFormat = static_cast<DWORD>(c.format);
    }
    if (pOwned) pOwned->Release();
    Log("CTextureManager::CTextureManager : Initialized and waiting for orders...\n");
}

CTextureManager::~CTextureManager() {
    if (g_pLogger) g_pLogger->LogMessage("CTextureManager::~CTextureManager : Releasing %d textures ...\n", m_nCount);
    for (int i = 0; i < m_nCount; ++i) {
        TextureEntry* e = m_pTextures[i];
        if (!e) continue;
        delete[] e->pszName;
        delete[] e->pszFileName;
        delete[] e->pszAlphaFileName;
        if (e->pTexture) e->pTexture->Release();
        delete e;
        m_pTextures[i] = nullptr;
    }
    m_nCount = 0;
    Log("CTextureManager::~CTextureManager : Deinitialized ...\n");
}

const TextureEntry* CTextureManager::FindEntry(const char* name) const {
    if (!name) return nullptr;
    for (int i = 0; i < m_nCount; ++i) {
        const TextureEntry* e = m_pTextures[i];
        if (e && e->pszName && std::strcmp(e->pszName, name) == 0) return e;
    }
    return nullptr;
}

bool CTextureManager::TableFull(const char* method, const char* file, const char* name) const {
    if (m_nCount < kMaxTextures) return false;
    if (g_pLogger)
        g_pLogger->LogMessage("CTextureManager::%s : Cannot load texture (%s) as [%s] - the table is full (%d textures)\n",
                              method, Str(file), Str(name), kMaxTextures);
    return true;
}

void CTextureManager::AddEntry(const char* name, const char* file, const char* alphaFile, DWORD width, DWORD height,
                               IDirect3DTexture8* pTexture, int* pIndex) {
    auto* e = new TextureEntry;
    e->nIndex = m_nCount;
    e->pszName = DupString(name, 0);
    e->pszFileName = DupString(file, 0);
    e->pszAlphaFileName = alphaFile ? DupString(alphaFile, 0) : nullptr;
    e->dwWidth = width;
    e->dwHeight = height;
    e->pTexture = pTexture;
    m_pTextures[m_nCount] = e;
    if (pIndex) *pIndex = m_nCount;
    ++m_nCount;
}

bool CTextureManager::Load(const char* file, const char* name, int* pIndex) {
    if (FindEntry(name)) {
        if (g_pLogger) {
            g_pLogger->LogMessage("CTextureManager::Load : Cannot load texture (%s) - ", Str(file));
            g_pLogger->LogMessage("there is such texture named [%s] already\n", Str(name));
        }
        return false;
    }
    if (TableFull("Load", file, name)) return false;
    IDirect3DTexture8* pTexture = nullptr;
    if (!file || !name || FAILED(D3DXCreateTextureFromFileA(m_pDevice, DataPath(file).c_str(), &pTexture)) || !pTexture) {
        if (g_pLogger) g_pLogger->LogMessage("CTextureManager::Load : Error loading texture %s\n", Str(file));
        return false;
    }
    if (g_pLogger) {
        g_pLogger->LogMessage("CTextureManager::Load : Successfully loaded [%s] ", name);
        g_pLogger->LogMessage("from  %s\n", file);
    }
    D3DSURFACE_DESC desc{};
    DWORD width = 0, height = 0;
    if (SUCCEEDED(pTexture->GetLevelDesc(0, &desc))) {
        width = desc.Width;
        height = desc.Height;
    }
    AddEntry(name, file, nullptr, width, height, pTexture, pIndex);
    return true;
}

bool CTextureManager::CreateFromPixels(const char* method, const char* what, const BYTE* pixels, DWORD width,
                                       DWORD height, IDirect3DTexture8** ppTexture) {
    *ppTexture = nullptr;
    IDirect3DTexture8* pTexture = nullptr;
    // A full mip chain is asked for and only the top level is filled: sampling never reads below it.
    if (FAILED(m_pDevice->CreateTexture(width, height, 0, 0, static_cast<D3DFORMAT>(m_dwPreferredFormat),
                                        D3DPOOL_MANAGED, &pTexture)) ||
        !pTexture) {
        if (g_pLogger) g_pLogger->LogMessage("CTextureManager::%s : Cannot create texture from (%s", method, what);
        return false;
    }
    IDirect3DSurface8* pSurface = nullptr;
    if (FAILED(pTexture->GetSurfaceLevel(0, &pSurface)) || !pSurface) {
        pTexture->Release();
        if (g_pLogger) g_pLogger->LogMessage("CTextureManager::%s : Cannot get surfaces level (%s", method, what);
        return false;
    }
    RECT src{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    if (FAILED(D3DXLoadSurfaceFromMemory(pSurface, nullptr, nullptr, pixels, D3DFMT_A8R8G8B8, width * 4, nullptr,
                                         &src, D3DX_FILTER_LINEAR | D3DX_FILTER_DITHER, 0))) {
        pSurface->Release();
        pTexture->Release();
        if (g_pLogger) g_pLogger->LogMessage("CTextureManager::%s : Cannot load surface from memory (%s", method, what);
        return false;
    }
    pSurface->Release();
    *ppTexture = pTexture;
    return true;
}

bool CTextureManager::LoadA(const char* file, const char* alphaFile, const char* name, int* pIndex) {
    if (!file || !alphaFile) {
        if (g_pLogger) {
            g_pLogger->LogMessage("CTextureManager::LoadA : Cannot load texture (%s + ", Str(file));
            g_pLogger->LogMessage("%s)\n", Str(alphaFile));
        }
        return false;
    }
    if (FindEntry(name)) {
        if (g_pLogger) {
            g_pLogger->LogMessage("CTextureManager::LoadA : Cannot load texture (%s + ", file);
            g_pLogger->LogMessage("%s) there is such texture named", alphaFile);
            g_pLogger->LogMessage("[%s] already\n", Str(name));
        }
        return false;
    }
    if (TableFull("LoadA", file, name)) return false;

    BYTE* colour = nullptr;
    DWORD cw = 0, ch = 0;
    const std::string colourLower = Lower(file);
    if (Contains(colourLower, ".png")) {
        Log("CTextureManager::LoadA : PNG NOT SUPPORTED YET!\n");
    } else if (!IsJpegName(colourLower)) {
        if (g_pLogger)
            g_pLogger->LogMessage("CTextureManager::LoadA : Cannot load texture (%s) - unknown file format\n", file);
        return false;
    } else {
        colour = LoadJpg(file, &cw, &ch);
    }

    BYTE* alpha = nullptr;
    DWORD aw = 0, ah = 0;
    const std::string alphaLower = Lower(alphaFile);
    if (Contains(alphaLower, ".png")) {
        Log("CTextureManager::LoadA : PNG NOT SUPPORTED YET!\n");
    } else if (!IsJpegName(alphaLower)) {
        if (g_pLogger)
            g_pLogger->LogMessage("CTextureManager::LoadA : Cannot load alphamask (%s) - unknown file format\n",
                                  alphaFile);
        delete[] colour;
        return false;
    } else {
        alpha = LoadJpg(alphaFile, &aw, &ah);
    }

    if (!colour || !alpha) {
        delete[] colour;
        delete[] alpha;
        if (g_pLogger) {
            g_pLogger->LogMessage("CTextureManager::LoadA : Cannot load texture (%s + ", file);
            g_pLogger->LogMessage("%s)\n", alphaFile);
        }
        return false;
    }
    if (cw != aw || ch != ah) {
        if (g_pLogger) {
            g_pLogger->LogMessage("CTextureManager::LoadA : Texture and alpha channel are not the same! (%s + ", file);
            g_pLogger->LogMessage("%s)\n", alphaFile);
        }
        delete[] colour;
        delete[] alpha;
        return false;
    }
    velunar::alpha::FromMask(colour, alpha, static_cast<std::size_t>(cw) * ch);

    const std::string what = std::string(file) + " + ";
    IDirect3DTexture8* pTexture = nullptr;
    const bool ok = CreateFromPixels("LoadA", what.c_str(), colour, cw, ch, &pTexture);
    delete[] colour;
    delete[] alpha;
    if (!ok) {
        if (g_pLogger) g_pLogger->LogMessage("%s)\n", alphaFile);
        return false;
    }
    AddEntry(name, file, alphaFile, cw, ch, pTexture, pIndex);
    if (g_pLogger) {
        g_pLogger->LogMessage("CTextureManager::LoadA : Successfully loaded [%s] with alpha", Str(name));
        g_pLogger->LogMessage("from  %s and ", file);
        g_pLogger->LogMessage("%s\n", alphaFile);
    }
    return true;
}

bool CTextureManager::LoadAutoAlpha(const char* file, const char* name, int* pIndex) {
    if (FindEntry(name)) {
        if (g_pLogger) {
            g_pLogger->LogMessage("CTextureManager::LoadAutoAlpha : Cannot load texture (%s)", Str(file));
            g_pLogger->LogMessage(" there is such texture named [%s] already\n", Str(name));
        }
        return false;
    }
    if (TableFull("LoadAutoAlpha", file, name)) return false;
    const std::string lower = Lower(file);
    if (file && Contains(lower, ".png")) {
        Log("CTextureManager::LoadAutoAlpha : PNG NOT SUPPORTED YET!\n");
        if (g_pLogger) g_pLogger->LogMessage("CTextureManager::LoadAutoAlpha : Cannot load texture (%s)\n", file);
        return false;
    }
    if (file && !IsJpegName(lower)) {
        if (g_pLogger)
            g_pLogger->LogMessage("CTextureManager::LoadAutoAlpha : Cannot load texture (%s) - unknown file format\n",
                                  file);
        return false;
    }
    DWORD w = 0, h = 0;
    BYTE* image = file ? LoadJpg(file, &w, &h) : nullptr;
    if (!image) {
        if (g_pLogger) g_pLogger->LogMessage("CTextureManager::LoadAutoAlpha : Cannot load texture (%s)\n", Str(file));
        return false;
    }
    velunar::alpha::FromBrightness(image, static_cast<std::size_t>(w) * h);
    IDirect3DTexture8* pTexture = nullptr;
    const bool ok = CreateFromPixels("LoadAutoAlpha", file, image, w, h, &pTexture);
    delete[] image;
    if (!ok) {
        Log(")\n");
        return false;
    }
    AddEntry(name, file, nullptr, w, h, pTexture, pIndex);
    if (g_pLogger) {
        g_pLogger->LogMessage("CTextureManager::LoadAutoAlpha : Successfully loaded [%s] with auto calculated alpha",
                              Str(name));
        g_pLogger->LogMessage("from  %s\n", file);
    }
    return true;
}

IDirect3DTexture8* CTextureManager::GetTexture(int index, DWORD* pWidth, DWORD* pHeight) {
    if (index < 0 || index >= m_nCount || !m_pTextures[index]) {
        if (g_pLogger) {
            g_pLogger->LogMessage("CTextureManager::GetTexture : texture index to big [%03d / ", index);
            g_pLogger->LogMessage("%03d]\n", m_nCount);
        }
        return nullptr;
    }
    const TextureEntry* e = m_pTextures[index];
    if (pWidth) *pWidth = e->dwWidth;
    if (pHeight) *pHeight = e->dwHeight;
    return e->pTexture;
}

bool CTextureManager::GetTextureMetrics(int index, DWORD* pWidth, DWORD* pHeight) {
    if (index < 0 || index >= m_nCount || !m_pTextures[index]) {
        if (g_pLogger) {
            g_pLogger->LogMessage("CTextureManager::GetTextureMetrics : texture index to big [%03d / ", index);
            g_pLogger->LogMessage("%03d]\n", m_nCount);
        }
        if (pWidth) *pWidth = 0;
        if (pHeight) *pHeight = 0;
        return false;
    }
    const TextureEntry* e = m_pTextures[index];
    if (pWidth) *pWidth = e->dwWidth;
    if (pHeight) *pHeight = e->dwHeight;
    return true;
}

IDirect3DTexture8* CTextureManager::GetTexture(const char* name, DWORD* pWidth, DWORD* pHeight) {
    const TextureEntry* e = FindEntry(name);
    if (!e) {
        if (g_pLogger) g_pLogger->LogMessage("CTextureManager::GetTexture : cannot find texture named %s\n", Str(name));
        return nullptr;
    }
    if (pWidth) *pWidth = e->dwWidth;
    if (pHeight) *pHeight = e->dwHeight;
    return e->pTexture;
}

IDirect3DTexture8* CTextureManager::FindTexture(const char* name) const {
    const TextureEntry* e = FindEntry(name);
    return e ? e->pTexture : nullptr;
}

const TextureEntry* CTextureManager::GetEntry(int index) const {
    return (index >= 0 && index < m_nCount) ? m_pTextures[index] : nullptr;
}
