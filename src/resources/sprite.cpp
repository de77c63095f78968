// sprite.cpp - CSprite: texture name derivation, the choice of loader, the frame update.
#include "resources/sprite.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "core/logger.h"
#include "resources/image_load.h"
#include "resources/texture_manager.h"

CSprite* g_pFlareSprite = nullptr;

namespace {

// Index just past the last path separator; either slash counts so old paths keep working.
std::size_t BaseStart(const char* path) {
    const char* slash = std::strrchr(path, '/');
    const char* back = std::strrchr(path, '\\');
    const char* sep = slash > back ? slash : back;
    return sep ? static_cast<std::size_t>(sep - path) + 1 : 0;
}

}  // namespace

CSprite::CSprite(const char* path, bool bAlpha, const char* name, CTextureManager* pManager) {
    m_bLoaded = 0;
    if (!path) {
        if (g_pLogger) g_pLogger->LogMessage("CSprite::CSprite : No file name specified\n");
        return;
    }
    m_pszPath = DupString(path, 0);
    m_bAlpha = bAlpha ? 1 : 0;

    const std::size_t base = BaseStart(path);
    const char* dot = std::strrchr(path + base, '.');
    if (name) {
        m_pszTextureName = DupString(name, 0);
    } else {
        m_pszFileName = DupString(path + base, 0);
        if (!dot) {
            if (g_pLogger) g_pLogger->LogMessage("CSprite::CSprite : Wrong file name \n");
            return;
        }
        m_pszTextureName = DupString(path + base, static_cast<DWORD>(dot - (path + base)));
        if (dot == path + base) {
            // ".jpg" alone would give an empty name that DupString reads as "no limit".
            m_pszTextureName[0] = '\0';
        }
    }

    m_pFrameTextures = new int[1]{0};
    m_nFrames = 1;

    if (!pManager) {
        if (g_pLogger) g_pLogger->LogMessage("CSprite::CSprite : Failed to load %s\n", m_pszTextureName);
        return;
    }

    if (m_bAlpha) {
        bool ok = false;
        if (dot) {
            // "data/pas1.jpg" -> "data/pas1a.jpg": the grey mask beside the colour image.
            const std::size_t at = static_cast<std::size_t>(dot - path);
            const std::string alphaPath = std::string(path, at) + "a" + std::string(path + at);
            if (FileExists(alphaPath.c_str()))
                ok = pManager->LoadA(path, alphaPath.c_str(), m_pszTextureName, &m_pFrameTextures[0]);
            else
                ok = pManager->LoadAutoAlpha(path, m_pszTextureName, &m_pFrameTextures[0]);
        }
        if (!ok) {
            if (g_pLogger) g_pLogger->LogMessage("CSprite::CSprite : Failed to load sprite %s\n", m_pszTextureName);
            return;
        }
    } else if (!pManager->Load(path, m_pszTextureName, &m_pFrameTextures[0])) {
        if (g_pLogger) g_pLogger->LogMessage("CSprite::CSprite : Failed to load %s\n", m_pszTextureName);
        return;
    }

    pManager->GetTextureMetrics(m_pFrameTextures[0], &m_dwWidth, &m_dwHeight);
    if (g_pLogger)
        g_pLogger->LogMessage("CSprite::CSprite : Successfuly loaded sprite [%s] [%03dx%03d]\n", m_pszTextureName,
                              static_cast<int>(m_dwWidth), static_cast<int>(m_dwHeight));
    m_bLoaded = 1;
}

CSprite::~CSprite() {
    delete[] m_pszPath;
    delete[] m_pszFileName;
    delete[] m_pszTextureName;
    delete[] m_pFrameTextures;
}

void CSprite::AddFrameTexture(int index) {
    int* grown = new int[m_nFrames + 1];
    for (int i = 0; i < m_nFrames; ++i) grown[i] = m_pFrameTextures[i];
    grown[m_nFrames] = index;
    delete[] m_pFrameTextures;
    m_pFrameTextures = grown;
    ++m_nFrames;
}

void CSprite::UpdateFrame(float t) {
    if (m_fStartTime == 0.0f) m_fStartTime = t;
    if (m_nSingleFrame == 1) {
        m_nCurrentFrame = 0;
        return;
    }
    // Whole frames since the start: milliseconds x 0.001 x frames per second, truncated.
    const auto elapsed = static_cast<std::uint32_t>(static_cast<std::int64_t>((t - m_fStartTime) * 0.001f * m_fFrameRate));
    const int span = m_nLastFrame - m_nFirstFrame + 1;
    int frame = span > 0 ? m_nFirstFrame + static_cast<int>(elapsed % static_cast<std::uint32_t>(span)) : m_nFirstFrame;
    // A range that reaches past the frames present wraps over those that exist.
    if (m_nFrames > 0 && (frame < 0 || frame >= m_nFrames)) frame = ((frame % m_nFrames) + m_nFrames) % m_nFrames;
    m_nCurrentFrame = frame;
}

int CSprite::GetFrameTexture() const {
    if (!m_pFrameTextures || m_nCurrentFrame < 0 || m_nCurrentFrame >= m_nFrames) return -1;
    return m_pFrameTextures[m_nCurrentFrame];
}
