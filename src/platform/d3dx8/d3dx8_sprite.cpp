// ID3DXSprite: each Draw is one pre-transformed textured quad issued at once, so states the caller
// changes between two draws apply to the second only; nothing is ever pending at End.
#include <cmath>
#include <iterator>

#include "platform/d3d8/d3d8_ext.h"
#include "platform/d3dx8/d3dx8core.h"

namespace velunar::d3dx {
namespace {

// x, y, z, rhw, diffuse, u, v: XYZRHW | DIFFUSE | TEX1.
struct SpriteVertex {
    float x, y, z, rhw;
    DWORD color;
    float u, v;
};
constexpr DWORD kSpriteFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// The sprite's projection puts the quad half a pixel up and left, so at scale 1 on an integer
// position texel centres meet pixel centres (which lie on integer coordinates). The device moves
// pre-transformed geometry by 63/128 rather than 1/2 to keep the fill rule; taking 63/128 here too
// cancels that exactly, so sampling stays on texel centres instead of 1/128 texel beside them.
// On a scaled back buffer it is half a pixel of the target: the device multiplies positions and
// adds its 63/128 of a target pixel, so 1/k of the offset cancels it there.
constexpr float kPixelOffset = -63.0f / 128.0f;

struct RenderStateValue {
    D3DRENDERSTATETYPE state;
    DWORD value;
};
struct StageStateValue {
    DWORD stage;
    D3DTEXTURESTAGESTATETYPE type;
    DWORD value;
};

constexpr RenderStateValue kRenderStates[] = {
    {D3DRS_ALPHABLENDENABLE, TRUE},
    {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
    {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
    {D3DRS_BLENDOP, D3DBLENDOP_ADD},
    {D3DRS_ALPHATESTENABLE, TRUE},
    {D3DRS_ALPHAREF, 0},
    {D3DRS_ALPHAFUNC, D3DCMP_GREATER},
    {D3DRS_CULLMODE, D3DCULL_NONE},
    {D3DRS_LIGHTING, FALSE},
    {D3DRS_FOGENABLE, FALSE},
    {D3DRS_WRAP0, 0},
};

constexpr StageStateValue kStageStates[] = {
    {0, D3DTSS_COLOROP, D3DTOP_MODULATE},
    {0, D3DTSS_COLORARG1, D3DTA_TEXTURE},
    {0, D3DTSS_COLORARG2, D3DTA_DIFFUSE},
    {0, D3DTSS_ALPHAOP, D3DTOP_MODULATE},
    {0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE},
    {0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE},
    {0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP},
    {0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP},
    {0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR},
    {0, D3DTSS_MINFILTER, D3DTEXF_LINEAR},
    // A scene's sphere-map generator must not reach the sprite's own coordinates.
    {0, D3DTSS_TEXCOORDINDEX, 0},
    {0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE},
    {1, D3DTSS_COLOROP, D3DTOP_DISABLE},
    {1, D3DTSS_ALPHAOP, D3DTOP_DISABLE},
};

constexpr std::size_t kRenderCount = std::size(kRenderStates);
constexpr std::size_t kStageCount = std::size(kStageStates);

class Sprite final : public ID3DXSprite {
public:
    explicit Sprite(IDirect3DDevice8* device) : device_(device) { device_->AddRef(); }

    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT GetDevice(IDirect3DDevice8** ppDevice) override {
        if (!ppDevice) return D3DERR_INVALIDCALL;
        device_->AddRef();
        *ppDevice = device_;
        return D3D_OK;
    }

    HRESULT Begin() override {
        if (begun_) return D3DERR_INVALIDCALL;
        for (std::size_t i = 0; i < kRenderCount; ++i) device_->GetRenderState(kRenderStates[i].state, &savedRender_[i]);
        for (std::size_t i = 0; i < kStageCount; ++i)
            device_->GetTextureStageState(kStageStates[i].stage, kStageStates[i].type, &savedStage_[i]);
        device_->GetVertexShader(&savedFvf_);
        savedTexture_ = nullptr;
        device_->GetTexture(0, &savedTexture_);

        for (const auto& rs : kRenderStates) device_->SetRenderState(rs.state, rs.value);
        for (const auto& ts : kStageStates) device_->SetTextureStageState(ts.stage, ts.type, ts.value);
        device_->SetVertexShader(kSpriteFvf);
        begun_ = true;
        return D3D_OK;
    }

    HRESULT End() override {
        if (!begun_) return D3DERR_INVALIDCALL;
        for (std::size_t i = 0; i < kRenderCount; ++i) device_->SetRenderState(kRenderStates[i].state, savedRender_[i]);
        for (std::size_t i = 0; i < kStageCount; ++i)
            device_->SetTextureStageState(kStageStates[i].stage, kStageStates[i].type, savedStage_[i]);
        device_->SetVertexShader(savedFvf_);
        device_->SetTexture(0, savedTexture_);
        if (savedTexture_) savedTexture_->Release();
        savedTexture_ = nullptr;
        begun_ = false;
        return D3D_OK;
    }

    HRESULT Draw(IDirect3DTexture8* pSrcTexture, const RECT* pSrcRect, const D3DXVECTOR2* pScaling,
                 const D3DXVECTOR2* pRotationCenter, FLOAT Rotation, const D3DXVECTOR2* pTranslation,
                 D3DCOLOR Color) override {
        const D3DXVECTOR2 scale = pScaling ? *pScaling : D3DXVECTOR2(1, 1);
        const D3DXVECTOR2 centre = pRotationCenter ? *pRotationCenter : D3DXVECTOR2(0, 0);
        const D3DXVECTOR2 move = pTranslation ? *pTranslation : D3DXVECTOR2(0, 0);
        // Scale about the top-left, turn about the centre, then move: one 2D affine matrix.
        const float c = std::cos(Rotation), s = std::sin(Rotation);
        D3DXMATRIX m;
        D3DXMatrixIdentity(&m);
        m._11 = scale.x * c;
        m._12 = scale.x * s;
        m._21 = -scale.y * s;
        m._22 = scale.y * c;
        m._41 = centre.x - (centre.x * c - centre.y * s) + move.x;
        m._42 = centre.y - (centre.x * s + centre.y * c) + move.y;
        return DrawTransform(pSrcTexture, pSrcRect, &m, Color);
    }

    HRESULT DrawTransform(IDirect3DTexture8* pSrcTexture, const RECT* pSrcRect, const D3DXMATRIX* pTransform,
                          D3DCOLOR Color) override {
        if (!pSrcTexture || !pTransform) return D3DERR_INVALIDCALL;
        D3DSURFACE_DESC desc{};
        const HRESULT hr = pSrcTexture->GetLevelDesc(0, &desc);
        if (FAILED(hr)) return hr;
        if (desc.Width == 0 || desc.Height == 0) return D3DERR_INVALIDCALL;
        const RECT r = pSrcRect ? *pSrcRect : RECT{0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
        const float w = static_cast<float>(r.right - r.left), h = static_cast<float>(r.bottom - r.top);
        const float u0 = r.left / static_cast<float>(desc.Width), u1 = r.right / static_cast<float>(desc.Width);
        const float v0 = r.top / static_cast<float>(desc.Height), v1 = r.bottom / static_cast<float>(desc.Height);

        const bool own = !begun_;
        if (own) Begin();
        SpriteVertex quad[4];
        const float corners[4][4] = {{0, 0, u0, v0}, {w, 0, u1, v0}, {0, h, u0, v1}, {w, h, u1, v1}};
        const D3DXMATRIX& m = *pTransform;
        const float offset = kPixelOffset / static_cast<float>(D3D8_GetTargetScale(device_));
        for (int i = 0; i < 4; ++i) {
            const float x = corners[i][0], y = corners[i][1];
            quad[i] = {x * m._11 + y * m._21 + m._41 + offset, x * m._12 + y * m._22 + m._42 + offset, 0.0f, 1.0f,
                       Color, corners[i][2], corners[i][3]};
        }
        device_->SetTexture(0, pSrcTexture);
        device_->SetVertexShader(kSpriteFvf);
        const HRESULT drawn = device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(SpriteVertex));
        if (own) End();
        return drawn;
    }

    HRESULT OnLostDevice() override { return D3D_OK; }
    HRESULT OnResetDevice() override { return D3D_OK; }

private:
    ~Sprite() override {
        if (begun_) End();
        device_->Release();
    }

    IDirect3DDevice8* device_;
    ULONG refs_ = 1;
    bool begun_ = false;
    DWORD savedRender_[kRenderCount] = {};
    DWORD savedStage_[kStageCount] = {};
    DWORD savedFvf_ = 0;
    IDirect3DBaseTexture8* savedTexture_ = nullptr;
};

}  // namespace
}  // namespace velunar::d3dx

HRESULT D3DXCreateSprite(IDirect3DDevice8* pDevice, ID3DXSprite** ppSprite) {
    if (!ppSprite) return D3DERR_INVALIDCALL;
    *ppSprite = nullptr;
    if (!pDevice) return D3DERR_INVALIDCALL;
    *ppSprite = new velunar::d3dx::Sprite(pDevice);
    return D3D_OK;
}
