// bitmap_font.cpp - BitmapFont: the glyph atlas, its two recorded state blocks, measuring and
// drawing strings in batches.
#include "render/bitmap_font.h"

#include <cstdio>
#include <cstring>

#include "platform/d3d8/d3d8_ext.h"
#include "platform/gdi/glyph_raster.h"
#include "math/vertex.h"

namespace {

constexpr int kFirstChar = 32;
constexpr int kLastChar = 126;
// A batch is drawn when it holds 100 triangles.
constexpr UINT kBatchFlushVertices = 294;
// DrawString's flag for linear filtering of the glyphs.
constexpr DWORD kDrawLinear = 4;

// GDI's MulDiv: a * b / c rounded to nearest.
int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const long long p = static_cast<long long>(a) * b;
    const long long half = (c > 0 ? c : -c) / 2;
    return static_cast<int>((p >= 0 ? p + half : p - half) / c);
}

}  // namespace

BitmapFont::BitmapFont(const char* faceName, DWORD size, DWORD flags) {
    std::snprintf(m_strFontName, sizeof(m_strFontName), "%s", faceName ? faceName : "");
    m_dwFontHeight = size;
    m_dwFontFlags = flags;
}

BitmapFont::~BitmapFont() { Release(); }

HRESULT BitmapFont::Create(IDirect3DDevice8* pDevice) {
    m_pDevice = pDevice;
    m_fTextScale = 1.0f;
    if (!pDevice) return E_FAIL;

    if (m_dwFontHeight > 40) {
        m_dwTexWidth = m_dwTexHeight = 1024;
    } else if (m_dwFontHeight > 20) {
        m_dwTexWidth = m_dwTexHeight = 512;
    } else {
        m_dwTexWidth = m_dwTexHeight = 256;
    }
    // A back buffer k times the picture's size is a screen of k times the dots per inch: the
    // glyphs and the atlas grow with it.
    m_dwPixelScale = D3D8_GetBackBufferScale(pDevice);
    m_dwTexWidth = m_dwTexHeight = m_dwTexWidth * m_dwPixelScale;
    D3DCAPS8 caps{};
    pDevice->GetDeviceCaps(&caps);
    if (caps.MaxTextureWidth != 0 && m_dwTexWidth > caps.MaxTextureWidth) {
        m_fTextScale = static_cast<float>(caps.MaxTextureWidth) / static_cast<float>(m_dwTexWidth);
        m_dwTexWidth = m_dwTexHeight = caps.MaxTextureWidth;
    }

    HRESULT hr = pDevice->CreateTexture(m_dwTexWidth, m_dwTexHeight, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED,
                                        &m_pTexture);
    if (FAILED(hr)) {
        m_pTexture = nullptr;
        return hr;
    }

    // Character height in pixels at 96 dpi; the atlas shrinks it along with the texture.
    const int pixelHeight = MulDiv(static_cast<int>(m_dwFontHeight),
                                   static_cast<int>(static_cast<float>(velunar::gdi::kLogPixelsY) * m_fTextScale), 72);
    const bool bold = (m_dwFontFlags & kBold) != 0, italic = (m_dwFontFlags & kItalic) != 0;
    const int k = static_cast<int>(m_dwPixelScale);
    auto face = velunar::gdi::GlyphFace::Open(m_strFontName, pixelHeight * k, bold, italic);
    if (!face) return E_FAIL;
    // The cells are k times those of the face at the picture's own size, so text is laid out and
    // measured exactly as there; only the glyphs in them are drawn finer.
    auto metricsFace = k == 1 ? nullptr : velunar::gdi::GlyphFace::Open(m_strFontName, pixelHeight, bold, italic);
    const velunar::gdi::GlyphFace& metrics = metricsFace ? *metricsFace : *face;

    velunar::gdi::CoverageBitmap bitmap(static_cast<int>(m_dwTexWidth), static_cast<int>(m_dwTexHeight));
    const float w = static_cast<float>(m_dwTexWidth), h = static_cast<float>(m_dwTexHeight);
    int x = 0, y = 0;
    for (int c = kFirstChar; c <= kLastChar; ++c) {
        const char ch = static_cast<char>(c);
        velunar::gdi::TextExtent size = metrics.Measure(&ch, 1);
        size.cx *= k;
        size.cy *= k;
        if (x + size.cx + 1 > static_cast<int>(m_dwTexWidth)) {
            x = 0;
            y += size.cy + 1;
        }
        face->Draw(&ch, 1, x, y, bitmap);
        float* g = m_fTexCoords[c - kFirstChar];
        g[0] = static_cast<float>(x) / w;
        g[1] = static_cast<float>(y) / h;
        g[2] = static_cast<float>(x + size.cx) / w;
        g[3] = static_cast<float>(y + size.cy) / h;
        // One texel between glyphs keeps filtering from bleeding across.
        x += size.cx + 1;
    }

    D3DLOCKED_RECT lr{};
    if (SUCCEEDED(m_pTexture->LockRect(0, &lr, nullptr, 0)) && lr.pBits) {
        auto* dst = static_cast<BYTE*>(lr.pBits);
        for (DWORD row = 0; row < m_dwTexHeight; ++row) {
            auto* texel = reinterpret_cast<WORD*>(dst + static_cast<std::ptrdiff_t>(row) * lr.Pitch);
            for (DWORD col = 0; col < m_dwTexWidth; ++col) {
                // The upper four bits of the coverage are the alpha of a white texel.
                const WORD a = static_cast<WORD>(bitmap.At(static_cast<int>(col), static_cast<int>(row)) >> 4);
                texel[col] = a ? static_cast<WORD>(a * 4096 + 4095) : 0;
            }
        }
        m_pTexture->UnlockRect(0);
    }
    return S_OK;
}

HRESULT BitmapFont::CreateBuffers() {
    if (!m_pDevice) return E_FAIL;
    HRESULT hr = m_pDevice->CreateVertexBuffer(kMaxVertices * sizeof(FLATVERTEX), D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC,
                                               0, D3DPOOL_DEFAULT, &m_pVB);
    if (FAILED(hr)) {
        m_pVB = nullptr;
        return hr;
    }
    IDirect3DDevice8* dev = m_pDevice;
    for (int which = 0; which < 2; ++which) {
        dev->BeginStateBlock();
        dev->SetTexture(0, m_pTexture);
        dev->SetRenderState(D3DRS_ZENABLE, (m_dwFontFlags & kZEnable) ? TRUE : FALSE);
        dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        dev->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
        dev->SetRenderState(D3DRS_ALPHAREF, 0x08);
        dev->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
        dev->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
        dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
        dev->SetRenderState(D3DRS_STENCILENABLE, FALSE);
        dev->SetRenderState(D3DRS_CLIPPING, TRUE);
        dev->SetRenderState(D3DRS_EDGEANTIALIAS, FALSE);
        dev->SetRenderState(D3DRS_CLIPPLANEENABLE, FALSE);
        dev->SetRenderState(D3DRS_VERTEXBLEND, FALSE);
        dev->SetRenderState(D3DRS_INDEXEDVERTEXBLENDENABLE, FALSE);
        dev->SetRenderState(D3DRS_FOGENABLE, FALSE);
        dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        dev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        dev->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        dev->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
        dev->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
        dev->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
        dev->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
        dev->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
        dev->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
        dev->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        dev->EndStateBlock(which == 0 ? &m_dwSavedStateBlock : &m_dwDrawTextStateBlock);
    }
    return S_OK;
}

HRESULT BitmapFont::ReleaseBuffers() {
    if (m_pVB) m_pVB->Release();
    m_pVB = nullptr;
    if (m_pDevice) {
        if (m_dwSavedStateBlock) m_pDevice->DeleteStateBlock(m_dwSavedStateBlock);
        if (m_dwDrawTextStateBlock) m_pDevice->DeleteStateBlock(m_dwDrawTextStateBlock);
    }
    m_dwSavedStateBlock = 0;
    m_dwDrawTextStateBlock = 0;
    return S_OK;
}

HRESULT BitmapFont::ReleaseTexture() {
    if (m_pTexture) m_pTexture->Release();
    m_pTexture = nullptr;
    m_pDevice = nullptr;
    return S_OK;
}

HRESULT BitmapFont::Release() {
    ReleaseBuffers();
    ReleaseTexture();
    return S_OK;
}

HRESULT BitmapFont::MeasureString(const char* text, int* pSize) {
    if (!text || !pSize) return E_FAIL;
    const float* space = m_fTexCoords[0];
    const float lineHeight = (space[3] - space[1]) * static_cast<float>(m_dwTexHeight);
    float width = 0.0f, widest = 0.0f, height = lineHeight;
    for (const char* p = text; *p; ++p) {
        const int c = static_cast<unsigned char>(*p);
        if (c == '\n') {
            width = 0.0f;
            height += lineHeight;
            continue;
        }
        // Outside the atlas: control characters and codes past '~' take no room.
        if (c < kFirstChar || c > kLastChar) continue;
        const float* g = m_fTexCoords[c - kFirstChar];
        width += (g[2] - g[0]) * static_cast<float>(m_dwTexWidth);
        if (width > widest) widest = width;
    }
    // In the picture's pixels, whatever the atlas's density.
    pSize[0] = static_cast<int>(widest / static_cast<float>(m_dwPixelScale));
    pSize[1] = static_cast<int>(height / static_cast<float>(m_dwPixelScale));
    return S_OK;
}

HRESULT BitmapFont::DrawString(float x, float y, float z, float scaleX, float scaleY, D3DCOLOR color,
                               const char* text, DWORD flags) {
    if (!m_pDevice) return E_FAIL;
    if (!text || !m_pVB) return S_OK;
    IDirect3DDevice8* dev = m_pDevice;

    dev->CaptureStateBlock(m_dwSavedStateBlock);
    dev->ApplyStateBlock(m_dwDrawTextStateBlock);
    dev->SetVertexShader(D3DFVF_FLATVERTEX);
    dev->SetStreamSource(0, m_pVB, sizeof(FLATVERTEX));
    if (flags & kDrawLinear) {
        dev->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
        dev->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    }

    D3DVIEWPORT8 vp{};
    dev->GetViewport(&vp);
    const float vpW = static_cast<float>(vp.Width), vpH = static_cast<float>(vp.Height);
    const float* space = m_fTexCoords[0];
    const float lineHeight = (space[3] - space[1]) * static_cast<float>(m_dwTexHeight);
    float sx = (x + 1.0f) * vpW * 0.5f;
    float sy = (y + 1.0f) * vpH * 0.5f;
    const float lineStart = sx;
    const float half = 0.5f / static_cast<float>(D3D8_GetTargetScale(dev));
    // An atlas that was never built has no line height to scale by.
    if (lineHeight <= 0.0f) {
        dev->ApplyStateBlock(m_dwSavedStateBlock);
        return S_OK;
    }

    FLATVERTEX* v = nullptr;
    if (FAILED(m_pVB->Lock(0, 0, reinterpret_cast<BYTE**>(&v), D3DLOCK_DISCARD)) || !v) {
        dev->ApplyStateBlock(m_dwSavedStateBlock);
        return S_OK;
    }
    UINT n = 0;
    for (const char* p = text; *p; ++p) {
        const int c = static_cast<unsigned char>(*p);
        if (c == '\n') {
            sx = lineStart;
            sy += scaleY * vpH;
            continue;
        }
        if (c < kFirstChar || c > kLastChar) continue;
        const float* g = m_fTexCoords[c - kFirstChar];
        const float w = (g[2] - g[0]) * static_cast<float>(m_dwTexWidth) * vpW * scaleX / lineHeight;
        const float h = (g[3] - g[1]) * static_cast<float>(m_dwTexHeight) * vpH * scaleY / lineHeight;
        if (c != ' ') {
            // Half a pixel of the target up and left puts texel centres on pixel centres.
            const float x0 = sx - half, x1 = sx + w - half;
            const float y0 = sy - half, y1 = sy + h - half;
            v[n++] = FLATVERTEX{x0, y1, z, 1.0f, color, g[0], g[3]};
            v[n++] = FLATVERTEX{x0, y0, z, 1.0f, color, g[0], g[1]};
            v[n++] = FLATVERTEX{x1, y1, z, 1.0f, color, g[2], g[3]};
            v[n++] = FLATVERTEX{x1, y0, z, 1.0f, color, g[2], g[1]};
            v[n++] = FLATVERTEX{x1, y1, z, 1.0f, color, g[2], g[3]};
            v[n++] = FLATVERTEX{x0, y0, z, 1.0f, color, g[0], g[1]};
            if (n > kBatchFlushVertices) {
                m_pVB->Unlock();
                dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, n / 3);
                n = 0;
                v = nullptr;
                if (FAILED(m_pVB->Lock(0, 0, reinterpret_cast<BYTE**>(&v), D3DLOCK_DISCARD)) || !v) {
                    dev->ApplyStateBlock(m_dwSavedStateBlock);
                    return S_OK;
                }
            }
        }
        sx += w;
    }
    m_pVB->Unlock();
    if (n > 0) dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, n / 3);
    dev->ApplyStateBlock(m_dwSavedStateBlock);
    return S_OK;
}
