// image_quad.h - CImageQuad, a pre-transformed textured rectangle in its own vertex buffer, for
// background pictures and fades. It binds no texture and sets no blending: the caller does.
// Depends on: the Direct3D 8 layer, the debug log.
#pragma once

#include "platform/d3d8/d3d8.h"

class CImageQuad {
public:
    // Pixels; -1 for an edge takes that edge of the device's current viewport.
    CImageQuad(IDirect3DDevice8* pDevice, int left, int top, int right, int bottom);
    ~CImageQuad();
    CImageQuad(const CImageQuad&) = delete;
    CImageQuad& operator=(const CImageQuad&) = delete;

    // 0..255 into the top byte of every vertex colour.
    int SetAlpha(DWORD alpha);
    int SetUV(float uLeft, float vTop, float uRight, float vBottom);
    int Render(IDirect3DDevice8* pDevice);
    void Release();

    bool HasBuffer() const { return m_lpVB != nullptr; }

private:
    IDirect3DVertexBuffer8* m_lpVB = nullptr;
};
