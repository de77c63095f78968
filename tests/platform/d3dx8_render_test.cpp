// D3DX over the real device on a hidden window: sprite state handling and placement, textures from
// files, surfaces from memory and to BMP files.
#include "platform/d3d8/d3d8_ext.h"
#include "platform/d3dx8/d3dx8.h"
#include "platform/d3dx8/image.h"
#include "platform/jpeg/jpeg.h"
#include "platform/window/offscreen_window.h"
#include "platform/window/window.h"
#include "support/device.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using velunar::d3dx::Bitmap;

constexpr int kW = 64, kH = 48;

std::string TmpPath(const char* name) {
    fs::create_directories(VELUNAR_TEST_TMP);
    return (fs::path(VELUNAR_TEST_TMP) / name).string();
}

class D3DXDevice : public ::testing::Test {
protected:
    void SetUp() override {
        hwnd_ = velunar::window::CreateOffscreenWindow(kW, kH);
        ASSERT_NE(hwnd_, nullptr);
        d3d_ = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(d3d_, nullptr);
        dev_ = velunar_test::CreateDevice(d3d_, hwnd_, kW, kH, D3DFMT_A8R8G8B8);
        ASSERT_NE(dev_, nullptr);
        ASSERT_EQ(D3DXCreateSprite(dev_, &sprite_), D3D_OK);
    }

    void TearDown() override {
        if (sprite_) sprite_->Release();
        if (dev_) dev_->Release();
        if (d3d_) d3d_->Release();
        if (hwnd_) DestroyWindow(hwnd_);
    }

    // A managed A8R8G8B8 texture with the given pixels, one level.
    IDirect3DTexture8* MakeTexture(int w, int h, const std::vector<DWORD>& px) {
        IDirect3DTexture8* tex = nullptr;
        EXPECT_EQ(dev_->CreateTexture(w, h, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex), D3D_OK);
        if (!tex) return nullptr;
        D3DLOCKED_RECT lr{};
        EXPECT_EQ(tex->LockRect(0, &lr, nullptr, 0), D3D_OK);
        for (int y = 0; y < h; ++y)
            std::memcpy(static_cast<BYTE*>(lr.pBits) + y * lr.Pitch, px.data() + y * w, w * 4);
        tex->UnlockRect(0);
        return tex;
    }

    std::vector<DWORD> ReadBack() {
        std::vector<DWORD> out(kW * kH);
        IDirect3DSurface8* rt = nullptr;
        EXPECT_EQ(dev_->GetRenderTarget(&rt), D3D_OK);
        if (!rt) return out;
        D3DLOCKED_RECT lr{};
        EXPECT_EQ(rt->LockRect(&lr, nullptr, D3DLOCK_READONLY), D3D_OK);
        for (int y = 0; y < kH; ++y)
            std::memcpy(out.data() + y * kW, static_cast<const BYTE*>(lr.pBits) + y * lr.Pitch, kW * 4);
        rt->UnlockRect();
        rt->Release();
        return out;
    }

    static DWORD Rgb(DWORD p) { return p & 0x00ffffffu; }

    HWND hwnd_ = nullptr;
    IDirect3D8* d3d_ = nullptr;
    IDirect3DDevice8* dev_ = nullptr;
    ID3DXSprite* sprite_ = nullptr;
};

// Every state the sprite sets, with a value no sprite would choose.
struct Probe {
    D3DRENDERSTATETYPE state;
    DWORD odd;
};
constexpr Probe kRenderProbes[] = {
    {D3DRS_ALPHABLENDENABLE, FALSE}, {D3DRS_SRCBLEND, D3DBLEND_DESTCOLOR}, {D3DRS_DESTBLEND, D3DBLEND_ZERO},
    {D3DRS_BLENDOP, D3DBLENDOP_MAX}, {D3DRS_ALPHATESTENABLE, FALSE},      {D3DRS_ALPHAREF, 77},
    {D3DRS_ALPHAFUNC, D3DCMP_LESS},  {D3DRS_CULLMODE, D3DCULL_CW},         {D3DRS_LIGHTING, TRUE},
    {D3DRS_FOGENABLE, TRUE},         {D3DRS_WRAP0, D3DWRAP_U | D3DWRAP_V},
};
struct StageProbe {
    DWORD stage;
    D3DTEXTURESTAGESTATETYPE type;
    DWORD odd;
};
constexpr StageProbe kStageProbes[] = {
    {0, D3DTSS_COLOROP, D3DTOP_ADD},
    {0, D3DTSS_COLORARG1, D3DTA_TFACTOR},
    {0, D3DTSS_COLORARG2, D3DTA_CURRENT},
    {0, D3DTSS_ALPHAOP, D3DTOP_DISABLE},
    {0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE},
    {0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR},
    {0, D3DTSS_ADDRESSU, D3DTADDRESS_MIRROR},
    {0, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP},
    {0, D3DTSS_MAGFILTER, D3DTEXF_POINT},
    {0, D3DTSS_MINFILTER, D3DTEXF_POINT},
    {0, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACENORMAL},
    {0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2},
    {1, D3DTSS_COLOROP, D3DTOP_MODULATE},
    {1, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1},
};

TEST_F(D3DXDevice, SpriteRestoresEveryStateItTouchedAndLeavesDepthAlone) {
    IDirect3DTexture8* mine = MakeTexture(2, 2, std::vector<DWORD>(4, 0xffffffffu));
    IDirect3DTexture8* other = MakeTexture(2, 2, std::vector<DWORD>(4, 0xff00ff00u));
    for (const auto& p : kRenderProbes) dev_->SetRenderState(p.state, p.odd);
    for (const auto& p : kStageProbes) dev_->SetTextureStageState(p.stage, p.type, p.odd);
    dev_->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    dev_->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    dev_->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    dev_->SetTexture(0, other);
    dev_->SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);

    for (int outside = 0; outside < 2; ++outside) {
        SCOPED_TRACE(outside ? "Draw outside Begin" : "Begin / Draw / End");
        dev_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xff000000u, 1.0f, 0);
        dev_->BeginScene();
        if (!outside) {
            ASSERT_EQ(sprite_->Begin(), D3D_OK);
            EXPECT_EQ(sprite_->Begin(), D3DERR_INVALIDCALL);
            DWORD v = 0;
            dev_->GetRenderState(D3DRS_ALPHABLENDENABLE, &v);
            EXPECT_EQ(v, static_cast<DWORD>(TRUE));
            dev_->GetRenderState(D3DRS_CULLMODE, &v);
            EXPECT_EQ(v, static_cast<DWORD>(D3DCULL_NONE));
            dev_->GetTextureStageState(0, D3DTSS_ADDRESSU, &v);
            EXPECT_EQ(v, static_cast<DWORD>(D3DTADDRESS_CLAMP));
            dev_->GetTextureStageState(1, D3DTSS_COLOROP, &v);
            EXPECT_EQ(v, static_cast<DWORD>(D3DTOP_DISABLE));
        }
        const D3DXVECTOR2 at(4, 4);
        EXPECT_EQ(sprite_->Draw(mine, nullptr, nullptr, nullptr, 0, &at, 0xffffffffu), D3D_OK);
        if (!outside) {
            ASSERT_EQ(sprite_->End(), D3D_OK);
            EXPECT_EQ(sprite_->End(), D3DERR_INVALIDCALL);
        }
        dev_->EndScene();

        for (const auto& p : kRenderProbes) {
            DWORD v = 0;
            dev_->GetRenderState(p.state, &v);
            EXPECT_EQ(v, p.odd) << "render state " << p.state;
        }
        for (const auto& p : kStageProbes) {
            DWORD v = 0;
            dev_->GetTextureStageState(p.stage, p.type, &v);
            EXPECT_EQ(v, p.odd) << "stage " << p.stage << " state " << p.type;
        }
        DWORD v = 0;
        dev_->GetRenderState(D3DRS_ZENABLE, &v);
        EXPECT_EQ(v, static_cast<DWORD>(D3DZB_FALSE));
        dev_->GetRenderState(D3DRS_ZFUNC, &v);
        EXPECT_EQ(v, static_cast<DWORD>(D3DCMP_ALWAYS));
        dev_->GetVertexShader(&v);
        EXPECT_EQ(v, static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1));
        IDirect3DBaseTexture8* bound = nullptr;
        dev_->GetTexture(0, &bound);
        EXPECT_EQ(bound, other);
        if (bound) bound->Release();
        // The draw happened despite the caller's odd states: white where the sprite is.
        EXPECT_EQ(Rgb(ReadBack()[4 * kW + 4]), 0xffffffu);
    }
    other->Release();
    mine->Release();
}

TEST_F(D3DXDevice, ScaleOneAtAnIntegerPositionLandsTexelForTexel) {
    std::vector<DWORD> px(16);
    for (int i = 0; i < 16; ++i) px[i] = 0xff000000u | (i * 16u << 16) | ((255u - i * 16u) << 8) | (i * 7u);
    IDirect3DTexture8* tex = MakeTexture(4, 4, px);
    dev_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xff000000u, 1.0f, 0);
    dev_->BeginScene();
    const D3DXVECTOR2 at(10, 20);
    ASSERT_EQ(sprite_->Draw(tex, nullptr, nullptr, nullptr, 0, &at, 0xffffffffu), D3D_OK);
    // A source rectangle picks texels 1..2 of row 1 only.
    const RECT r{1, 1, 3, 2};
    const D3DXVECTOR2 at2(30, 5);
    ASSERT_EQ(sprite_->Draw(tex, &r, nullptr, nullptr, 0, &at2, 0xffffffffu), D3D_OK);
    dev_->EndScene();
    const auto img = ReadBack();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(Rgb(img[(20 + y) * kW + 10 + x]), Rgb(px[y * 4 + x])) << x << "," << y;
    EXPECT_EQ(Rgb(img[20 * kW + 9]), 0u);
    EXPECT_EQ(Rgb(img[20 * kW + 14]), 0u);
    EXPECT_EQ(Rgb(img[19 * kW + 10]), 0u);
    EXPECT_EQ(Rgb(img[24 * kW + 10]), 0u);
    EXPECT_EQ(Rgb(img[5 * kW + 30]), Rgb(px[5]));
    EXPECT_EQ(Rgb(img[5 * kW + 31]), Rgb(px[6]));
    EXPECT_EQ(Rgb(img[5 * kW + 32]), 0u);
    EXPECT_EQ(Rgb(img[6 * kW + 30]), 0u);
    tex->Release();
}

// On a back buffer twice the size asked for, a sprite at an integer position covers the same share
// of the picture: its half-pixel offset is half a pixel of the target.
class ScaledD3DXDevice : public D3DXDevice {
protected:
    void SetUp() override {
        D3D8_SetBackBufferScale(2);
        D3DXDevice::SetUp();
        D3D8_SetBackBufferScale(1);
    }
};

TEST_F(ScaledD3DXDevice, ASpriteCoversTheSameShareOfTheLargerPicture) {
    IDirect3DTexture8* tex = MakeTexture(4, 4, std::vector<DWORD>(16, 0xffff0000u));
    // One bright texel then dark ones: the sprite's linear filter samples a quarter and three
    // quarters into each texel, as a picture twice the size should.
    IDirect3DTexture8* edge = MakeTexture(4, 1, {0xffff0000u, 0xff000000u, 0xff000000u, 0xff000000u});
    dev_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xff000000u, 1.0f, 0);
    const D3DXVECTOR2 at(10, 20), atEdge(10, 5);
    ASSERT_EQ(sprite_->Draw(tex, nullptr, nullptr, nullptr, 0, &at, 0xffffffffu), D3D_OK);
    ASSERT_EQ(sprite_->Draw(edge, nullptr, nullptr, nullptr, 0, &atEdge, 0xffffffffu), D3D_OK);
    IDirect3DSurface8* rt = nullptr;
    ASSERT_EQ(dev_->GetRenderTarget(&rt), D3D_OK);
    D3DSURFACE_DESC d{};
    rt->GetDesc(&d);
    ASSERT_EQ(d.Width, 2u * kW);
    D3DLOCKED_RECT lr{};
    ASSERT_EQ(rt->LockRect(&lr, nullptr, D3DLOCK_READONLY), D3D_OK);
    auto at2 = [&](int x, int y) { return Rgb(static_cast<const DWORD*>(lr.pBits)[y * (lr.Pitch / 4) + x]); };
    for (int y = 38; y < 50; ++y)
        for (int x = 18; x < 30; ++x) {
            const bool inside = x >= 20 && x < 28 && y >= 40 && y < 48;
            EXPECT_EQ(at2(x, y), inside ? 0xff0000u : 0u) << x << "," << y;
        }
    const int ramp[] = {255, 191, 64, 0};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(static_cast<int>(at2(20 + i, 10) >> 16), ramp[i], 3) << i;
    rt->UnlockRect();
    rt->Release();
    edge->Release();
    tex->Release();
}

TEST_F(D3DXDevice, RotationTurnsClockwiseAboutTheCentreAndScalingStretches) {
    std::vector<DWORD> px(64, 0xff0000ffu);
    px[0] = 0xffff0000u;  // red marker in the top-left texel
    IDirect3DTexture8* tex = MakeTexture(8, 8, px);
    const D3DXVECTOR2 centre(4, 4), at(20, 20);
    const auto markerAt = [&](float angle) {
        dev_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xff000000u, 1.0f, 0);
        dev_->BeginScene();
        sprite_->Draw(tex, nullptr, nullptr, &centre, angle, &at, 0xffffffffu);
        dev_->EndScene();
        return ReadBack();
    };
    auto img = markerAt(D3DX_PI);
    EXPECT_EQ(Rgb(img[27 * kW + 27]), 0xff0000u);
    EXPECT_EQ(Rgb(img[20 * kW + 20]), 0x0000ffu);
    EXPECT_EQ(Rgb(img[19 * kW + 20]), 0u);  // still covers 20..27
    img = markerAt(D3DX_PI / 2);
    EXPECT_EQ(Rgb(img[20 * kW + 27]), 0xff0000u);  // top-left turned to top-right
    EXPECT_EQ(Rgb(img[27 * kW + 20]), 0x0000ffu);

    // Scaling (2, 3) about the top-left: the sprite covers 16 x 24 pixels from the translation.
    dev_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xff000000u, 1.0f, 0);
    dev_->BeginScene();
    const D3DXVECTOR2 scale(2, 3), at2(4, 2);
    sprite_->Draw(tex, nullptr, &scale, nullptr, 0, &at2, 0xffffffffu);
    dev_->EndScene();
    img = ReadBack();
    EXPECT_NE(Rgb(img[2 * kW + 4]), 0u);
    EXPECT_NE(Rgb(img[25 * kW + 19]), 0u);
    EXPECT_EQ(Rgb(img[26 * kW + 19]), 0u);
    EXPECT_EQ(Rgb(img[25 * kW + 20]), 0u);
    EXPECT_EQ(Rgb(img[1 * kW + 4]), 0u);
    tex->Release();
}

TEST_F(D3DXDevice, StatesSetInsideBeginApplyAndColourModulates) {
    IDirect3DTexture8* grey = MakeTexture(2, 2, std::vector<DWORD>(4, 0xff202020u));
    IDirect3DTexture8* white = MakeTexture(2, 2, std::vector<DWORD>(4, 0xffffffffu));
    dev_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xff404040u, 1.0f, 0);
    dev_->BeginScene();
    sprite_->Begin();
    // Additive, as the glow layers draw.
    dev_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    dev_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    const D3DXVECTOR2 a(0, 0), b(10, 0), c(20, 0);
    sprite_->Draw(grey, nullptr, nullptr, nullptr, 0, &a, 0xffffffffu);
    dev_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    dev_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    // Half alpha and a red-only colour: (0x40 + 0xff) / 2 in red, 0x40 / 2 elsewhere.
    sprite_->Draw(white, nullptr, nullptr, nullptr, 0, &b, 0x80ff0000u);
    sprite_->End();
    // Colour alpha 0 fails the sprite's alpha test: nothing drawn.
    sprite_->Draw(white, nullptr, nullptr, nullptr, 0, &c, 0x00ffffffu);
    dev_->EndScene();
    const auto img = ReadBack();
    EXPECT_EQ(Rgb(img[0]), 0x606060u);
    const DWORD half = Rgb(img[10]);
    EXPECT_NEAR(static_cast<int>(half >> 16), (0x40 * 127 + 0xff * 128) / 255, 2);
    EXPECT_NEAR(static_cast<int>((half >> 8) & 0xff), 0x40 * 127 / 255, 2);
    EXPECT_EQ(Rgb(img[20]), 0x404040u);
    grey->Release();
    white->Release();
}

void WriteBmp(const std::string& path, int w, int h) {
    Bitmap b;
    b.width = w;
    b.height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.argb.push_back(0xff000000u | (x * 60u << 16) | (y * 50u << 8) | 0x30u);
    ASSERT_TRUE(velunar::d3dx::WriteBmp24(path.c_str(), b));
}

TEST_F(D3DXDevice, TexturesFromFilesRoundUpToPowersOfTwoWithFullChains) {
    // 3 x 5 BMP, no alpha: 4 x 8 X8R8G8B8, levels 8, 4, 2, 1 tall.
    const std::string bmp = TmpPath("odd.bmp");
    WriteBmp(bmp, 3, 5);
    IDirect3DTexture8* tex = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileA(dev_, bmp.c_str(), &tex), D3D_OK);
    D3DSURFACE_DESC desc{};
    tex->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 4u);
    EXPECT_EQ(desc.Height, 8u);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(tex->GetLevelCount(), 4u);
    tex->GetLevelDesc(3, &desc);
    EXPECT_EQ(desc.Width, 1u);
    EXPECT_EQ(desc.Height, 1u);
    D3DLOCKED_RECT lr{};
    ASSERT_EQ(tex->LockRect(0, &lr, nullptr, D3DLOCK_READONLY), D3D_OK);
    const auto* top = static_cast<const DWORD*>(lr.pBits);
    EXPECT_NEAR(static_cast<int>((top[0] >> 16) & 0xff), 0, 30);  // stretched corners keep their colours
    EXPECT_EQ(top[0] & 0xff, 0x30u);
    tex->UnlockRect(0);
    tex->Release();

    // A power-of-two PNG with alpha comes in exactly, as A8R8G8B8.
    Bitmap p;
    p.width = 4;
    p.height = 2;
    p.hasAlpha = true;
    for (int i = 0; i < 8; ++i) p.argb.push_back((i * 30u << 24) | (i * 20u << 16) | 0x1234u);
    const std::string png = TmpPath("a.png");
    ASSERT_TRUE(velunar::d3dx::WritePng(png.c_str(), p));
    ASSERT_EQ(D3DXCreateTextureFromFileA(dev_, png.c_str(), &tex), D3D_OK);
    tex->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(tex->GetLevelCount(), 3u);
    ASSERT_EQ(tex->LockRect(0, &lr, nullptr, D3DLOCK_READONLY), D3D_OK);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(static_cast<const DWORD*>(static_cast<const void*>(static_cast<const BYTE*>(lr.pBits) + y * lr.Pitch))[x],
                      p.argb[y * 4 + x]);
    tex->UnlockRect(0);
    tex->Release();

    // JPEG, 20 x 12: 32 x 16.
    std::vector<std::uint8_t> rgb(20 * 12 * 3, 128);
    const std::string jpg = TmpPath("p.jpg");
    ASSERT_TRUE(velunar::jpeg::EncodeFile(jpg.c_str(), rgb.data(), 20, 12, 90));
    ASSERT_EQ(D3DXCreateTextureFromFileA(dev_, jpg.c_str(), &tex), D3D_OK);
    tex->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 32u);
    EXPECT_EQ(desc.Height, 16u);
    EXPECT_EQ(tex->GetLevelCount(), 6u);
    tex->Release();
}

TEST_F(D3DXDevice, BrokenTextureFilesFailAndLeaveNothing) {
    IDirect3DTexture8* tex = reinterpret_cast<IDirect3DTexture8*>(this);
    EXPECT_EQ(D3DXCreateTextureFromFileA(dev_, TmpPath("none.jpg").c_str(), &tex), D3DERR_NOTFOUND);
    EXPECT_EQ(tex, nullptr);
    const std::string junk = TmpPath("junk.png");
    std::ofstream(junk, std::ios::binary) << "\x89PNG\r\n\x1a\n garbage";
    EXPECT_EQ(D3DXCreateTextureFromFileA(dev_, junk.c_str(), &tex), D3DXERR_INVALIDDATA);
    EXPECT_EQ(tex, nullptr);
    const std::string bmp = TmpPath("whole.bmp");
    WriteBmp(bmp, 8, 8);
    std::ifstream in(bmp, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string cut = TmpPath("cut.bmp");
    std::ofstream(cut, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size() / 2));
    EXPECT_EQ(D3DXCreateTextureFromFileA(dev_, cut.c_str(), &tex), D3DXERR_INVALIDDATA);
    EXPECT_EQ(tex, nullptr);
    EXPECT_EQ(D3DXCreateTextureFromFileA(dev_, nullptr, &tex), D3DERR_INVALIDCALL);
}

TEST_F(D3DXDevice, SurfacesLoadFromMemoryIntoEachFormat) {
    const DWORD src[4] = {0xffffffffu, 0x00000000u, 0x80ff0000u, 0xff00ff00u};
    const RECT r{0, 0, 2, 2};
    struct Case {
        D3DFORMAT format;
        DWORD expect[4];  // read back as words of the format
    } cases[] = {
        {D3DFMT_A8R8G8B8, {0xffffffffu, 0x00000000u, 0x80ff0000u, 0xff00ff00u}},
        {D3DFMT_X8R8G8B8, {0xffffffffu, 0xff000000u, 0xffff0000u, 0xff00ff00u}},
        {D3DFMT_A4R4G4B4, {0xffff, 0x0000, 0x8f00, 0xf0f0}},
        {D3DFMT_A1R5G5B5, {0xffff, 0x0000, 0xfc00, 0x83e0}},
        {D3DFMT_R5G6B5, {0xffff, 0x0000, 0xf800, 0x07e0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        IDirect3DTexture8* tex = nullptr;
        if (FAILED(dev_->CreateTexture(2, 2, 0, 0, c.format, D3DPOOL_MANAGED, &tex))) {
            ADD_FAILURE() << "device refused format " << c.format;
            continue;
        }
        IDirect3DSurface8* surf = nullptr;
        ASSERT_EQ(tex->GetSurfaceLevel(0, &surf), D3D_OK);
        ASSERT_EQ(D3DXLoadSurfaceFromMemory(surf, nullptr, nullptr, src, D3DFMT_A8R8G8B8, 8, nullptr, &r,
                                            D3DX_FILTER_LINEAR | D3DX_FILTER_DITHER, 0),
                  D3D_OK);
        D3DLOCKED_RECT lr{};
        ASSERT_EQ(surf->LockRect(&lr, nullptr, D3DLOCK_READONLY), D3D_OK);
        for (int i = 0; i < 4; ++i) {
            const BYTE* row = static_cast<const BYTE*>(lr.pBits) + (i / 2) * lr.Pitch;
            const DWORD got = velunar::d3dx::BytesPerPixel(c.format) == 4
                                  ? reinterpret_cast<const DWORD*>(row)[i % 2]
                                  : reinterpret_cast<const WORD*>(row)[i % 2];
            EXPECT_EQ(got, c.expect[i]) << "pixel " << i;
        }
        surf->UnlockRect();
        surf->Release();
        tex->Release();
    }

    // Misuse is refused, not guessed at.
    IDirect3DTexture8* tex = nullptr;
    ASSERT_EQ(dev_->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex), D3D_OK);
    IDirect3DSurface8* surf = nullptr;
    tex->GetSurfaceLevel(0, &surf);
    EXPECT_EQ(D3DXLoadSurfaceFromMemory(surf, nullptr, nullptr, src, D3DFMT_A8R8G8B8, 8, nullptr, nullptr,
                                        D3DX_FILTER_NONE, 0),
              D3DERR_INVALIDCALL);
    const RECT outside{0, 0, 3, 3};
    EXPECT_EQ(D3DXLoadSurfaceFromMemory(surf, nullptr, &outside, src, D3DFMT_A8R8G8B8, 8, nullptr, &r,
                                        D3DX_FILTER_NONE, 0),
              D3DERR_INVALIDCALL);
    // A larger source into a smaller surface is scaled, not cropped.
    DWORD big[16];
    for (int i = 0; i < 16; ++i) big[i] = 0xff808080u;
    const RECT r4{0, 0, 4, 4};
    EXPECT_EQ(D3DXLoadSurfaceFromMemory(surf, nullptr, nullptr, big, D3DFMT_A8R8G8B8, 16, nullptr, &r4,
                                        D3DX_FILTER_LINEAR, 0),
              D3D_OK);
    surf->Release();
    tex->Release();
}

TEST_F(D3DXDevice, BackBufferSavesAsBottomUpBmp) {
    dev_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xff102030u, 1.0f, 0);
    const D3DRECT topRow{0, 0, kW, 1};
    dev_->Clear(1, &topRow, D3DCLEAR_TARGET, 0xffff0000u, 1.0f, 0);
    IDirect3DSurface8* rt = nullptr;
    ASSERT_EQ(dev_->GetRenderTarget(&rt), D3D_OK);
    const std::string path = TmpPath("shot00000.bmp");
    ASSERT_EQ(D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_BMP, rt, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_DDS, rt, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_NE(D3DXSaveSurfaceToFileA("/nonexistent-dir/x.bmp", D3DXIFF_BMP, rt, nullptr, nullptr), D3D_OK);
    rt->Release();

    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), 54u + kW * 3u * kH);
    EXPECT_EQ(bytes[28], 24);
    // The last stored row is the top of the picture.
    const std::size_t lastRow = 54 + static_cast<std::size_t>(kW) * 3 * (kH - 1);
    EXPECT_EQ(bytes[lastRow + 2], 0xff);
    EXPECT_EQ(bytes[lastRow + 0], 0x00);
    EXPECT_EQ(bytes[54 + 0], 0x30);
    EXPECT_EQ(bytes[54 + 1], 0x20);
    EXPECT_EQ(bytes[54 + 2], 0x10);
    Bitmap back;
    ASSERT_EQ(velunar::d3dx::DecodeBmp(bytes.data(), bytes.size(), back, nullptr), velunar::d3dx::DecodeResult::Ok);
    EXPECT_EQ(back.argb[0], 0xffff0000u);
    EXPECT_EQ(back.argb[kW * 2], 0xff102030u);
}

}  // namespace
