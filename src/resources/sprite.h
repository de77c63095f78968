// sprite.h - CSprite, an image drawn centred on a screen point with a scale, a rotation, a colour
// and an opacity (CRender::Render). The constructor loads the image into the texture table.
// Depends on: CTextureManager, LoadJpg's helpers, the debug log.
#pragma once

#include "platform/wintypes.h"

class CTextureManager;

class CSprite {
public:
    // Type value of a flat-coloured sprite drawn without texture.
    static constexpr int kFlat = 2;

    // name null: derived from the file name ("data/flara1.jpg" -> "flara1"). With bAlpha the
    // alpha comes from "<path>a.<ext>" when that file exists, else from the image's brightness.
    // The image goes into pManager's table; with pManager null nothing loads.
    CSprite(const char* path, bool bAlpha, const char* name, CTextureManager* pManager);
    ~CSprite();
    CSprite(const CSprite&) = delete;
    CSprite& operator=(const CSprite&) = delete;

    // Advances the animation to t (demo milliseconds).
    void UpdateFrame(float t);
    // Texture-table index of the current frame, or -1 when there is none.
    int GetFrameTexture() const;
    // Appends a frame's texture-table index; animation runs over the frames present.
    void AddFrameTexture(int index);
    int GetFrameCount() const { return m_nFrames; }

    const char* GetPath() const { return m_pszPath; }
    const char* GetFileName() const { return m_pszFileName; }
    const char* GetTextureName() const { return m_pszTextureName; }

    BYTE m_bLoaded = 0;
    BYTE m_bAlpha = 0;
    int m_nType = 0;
    BYTE m_bMirrorV = 0;
    BYTE m_bMirrorH = 0;
    float m_fFrameRate = 1.0f;
    int m_nSingleFrame = 1;
    float m_fStartTime = 0.0f;
    float m_fAlpha = 0.0f;
    DWORD m_dwColor = 0xffffffffu;
    int m_nCurrentFrame = 0;
    DWORD m_dwWidth = 0;
    DWORD m_dwHeight = 0;
    float m_fScale = 1.0f;
    float m_fRotation = 0.0f;  // degrees

private:
    char* m_pszPath = nullptr;
    char* m_pszFileName = nullptr;
    char* m_pszTextureName = nullptr;

public:
    int m_nFirstFrame = 0;
    int m_nLastFrame = 0;

private:
    int* m_pFrameTextures = nullptr;
    int m_nFrames = 0;
};

// The flare drawn by the fx08 scene, created at start-up.
extern CSprite* g_pFlareSprite;
