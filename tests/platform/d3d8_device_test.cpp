// The device as an object: creation, defaults, reference counts, resources and their locks,
// render targets, state blocks, indexed draws and the offscreen switches.
#include <cstring>
#include <vector>

#include "d3d8_fixture.h"
#include "platform/d3d8/d3d8_device.h"
#include "platform/d3d8/d3d8_ext.h"
#include "support/device.h"

namespace d3d8test {
namespace {

using Device = DeviceTest;

TEST(Direct3D, OnlySdkVersion220AndTheFormatsWeKeep) {
    EXPECT_EQ(Direct3DCreate8(219), nullptr);
    IDirect3D8* d3d = Direct3DCreate8(220);
    ASSERT_NE(d3d, nullptr);
    D3DDISPLAYMODE mode{};
    ASSERT_EQ(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), D3D_OK);
    EXPECT_GT(mode.Width, 0u);
    for (D3DFORMAT f : {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4})
        EXPECT_EQ(d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, mode.Format, 0, D3DRTYPE_TEXTURE, f), D3D_OK) << f;
    EXPECT_EQ(d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, mode.Format, 0, D3DRTYPE_TEXTURE, D3DFMT_P8),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, mode.Format, D3DUSAGE_DEPTHSTENCIL,
                                     D3DRTYPE_SURFACE, D3DFMT_D24S8),
              D3D_OK);
    EXPECT_EQ(d3d->Release(), 0u);
}

TEST_F(Device, DocumentedDefaults) {
    struct Rs {
        D3DRENDERSTATETYPE s;
        DWORD v;
    } expected[] = {{D3DRS_ZENABLE, D3DZB_TRUE}, {D3DRS_ZWRITEENABLE, TRUE}, {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
                    {D3DRS_LIGHTING, TRUE}, {D3DRS_AMBIENT, 0}, {D3DRS_COLORVERTEX, TRUE},
                    {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1}, {D3DRS_NORMALIZENORMALS, FALSE},
                    {D3DRS_TEXTUREFACTOR, 0xffffffff}, {D3DRS_ALPHABLENDENABLE, FALSE},
                    {D3DRS_SRCBLEND, D3DBLEND_ONE}, {D3DRS_DESTBLEND, D3DBLEND_ZERO},
                    {D3DRS_BLENDOP, D3DBLENDOP_ADD}, {D3DRS_POINTSIZE, 0x3f800000}, {D3DRS_POINTSIZE_MAX, 0x42800000},
                    {D3DRS_POINTSCALE_A, 0x3f800000}, {D3DRS_WRAP0, 0}, {D3DRS_FILLMODE, D3DFILL_SOLID}};
    for (const Rs& r : expected) {
        DWORD v = 0xdeadbeef;
        ASSERT_EQ(dev->GetRenderState(r.s, &v), D3D_OK);
        EXPECT_EQ(v, r.v) << "render state " << r.s;
    }
    DWORD v = 0;
    dev->GetTextureStageState(0, D3DTSS_COLOROP, &v);
    EXPECT_EQ(v, static_cast<DWORD>(D3DTOP_MODULATE));
    dev->GetTextureStageState(0, D3DTSS_ALPHAOP, &v);
    EXPECT_EQ(v, static_cast<DWORD>(D3DTOP_SELECTARG1));
    dev->GetTextureStageState(1, D3DTSS_COLOROP, &v);
    EXPECT_EQ(v, static_cast<DWORD>(D3DTOP_DISABLE));
    dev->GetTextureStageState(0, D3DTSS_ADDRESSU, &v);
    EXPECT_EQ(v, static_cast<DWORD>(D3DTADDRESS_WRAP));
    dev->GetTextureStageState(0, D3DTSS_MIPFILTER, &v);
    EXPECT_EQ(v, static_cast<DWORD>(D3DTEXF_NONE));
    D3DVIEWPORT8 vp{};
    ASSERT_EQ(dev->GetViewport(&vp), D3D_OK);
    EXPECT_EQ(vp.Width, 800u);
    EXPECT_EQ(vp.Height, 600u);
    D3DCAPS8 caps{};
    ASSERT_EQ(dev->GetDeviceCaps(&caps), D3D_OK);
    EXPECT_GE(caps.MaxTextureBlendStages, 2u);
    EXPECT_EQ(caps.MaxPointSize, 64.0f);
    EXPECT_EQ(dev->SetRenderState(static_cast<D3DRENDERSTATETYPE>(400), 1), D3DERR_INVALIDCALL);
}

TEST_F(Device, ReferenceCountsAndSurfacesOfTextures) {
    IDirect3DTexture8* tex = nullptr;
    ASSERT_EQ(dev->CreateTexture(64, 32, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex), D3D_OK);
    EXPECT_EQ(tex->GetLevelCount(), 7u);  // 64x32 down to 1x1
    D3DSURFACE_DESC d{};
    ASSERT_EQ(tex->GetLevelDesc(2, &d), D3D_OK);
    EXPECT_EQ(d.Width, 16u);
    EXPECT_EQ(d.Height, 8u);
    EXPECT_EQ(d.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(tex->GetLevelDesc(7, &d), D3DERR_INVALIDCALL);
    IDirect3DSurface8* s = nullptr;
    ASSERT_EQ(tex->GetSurfaceLevel(0, &s), D3D_OK);
    // A level surface counts on its texture: the texture lives until both are released.
    EXPECT_EQ(tex->Release(), 1u);
    D3DLOCKED_RECT lr{};
    RECT r{4, 2, 8, 6};
    ASSERT_EQ(s->LockRect(&lr, &r, 0), D3D_OK);
    EXPECT_EQ(lr.Pitch, 256);
    static_cast<DWORD*>(lr.pBits)[0] = 0x12345678;
    ASSERT_EQ(s->UnlockRect(), D3D_OK);
    ASSERT_EQ(s->LockRect(&lr, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(static_cast<DWORD*>(lr.pBits)[2 * 64 + 4], 0x12345678u);
    s->UnlockRect();
    RECT outside{60, 0, 65, 4};
    EXPECT_EQ(s->LockRect(&lr, &outside, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(s->Release(), 0u);

    EXPECT_EQ(dev->CreateTexture(16, 16, 1, 0, D3DFMT_P8, D3DPOOL_MANAGED, &tex), D3DERR_INVALIDCALL);
    EXPECT_EQ(tex, nullptr);
    // A bound texture is held by the device.
    ASSERT_EQ(dev->CreateTexture(4, 4, 1, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &tex), D3D_OK);
    dev->SetTexture(0, tex);
    EXPECT_EQ(tex->Release(), 1u);
    IDirect3DBaseTexture8* bound = nullptr;
    ASSERT_EQ(dev->GetTexture(0, &bound), D3D_OK);
    EXPECT_EQ(bound, static_cast<IDirect3DBaseTexture8*>(tex));
    bound->Release();
    dev->SetTexture(0, nullptr);
}

// Between locks the texture's content lives in GL only (for formats GL stores bit for bit) or in
// the kept copy; either way every lock hands back exactly what was written, level by level.
TEST_F(Device, TextureLocksGiveBackWhatWasWrittenWhereverItIsKept) {
    for (D3DFORMAT format : {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_L8, D3DFMT_A8L8, D3DFMT_A4R4G4B4}) {
        SCOPED_TRACE(static_cast<int>(format));
        IDirect3DTexture8* tex = nullptr;
        ASSERT_EQ(dev->CreateTexture(8, 4, 2, 0, format, D3DPOOL_MANAGED, &tex), D3D_OK);
        D3DSURFACE_DESC d{};
        tex->GetLevelDesc(0, &d);
        const UINT bpp = d.Size / (8 * 4);
        D3DLOCKED_RECT lr{};
        // Never written: zeros.
        ASSERT_EQ(tex->LockRect(1, &lr, nullptr, D3DLOCK_READONLY), D3D_OK);
        for (UINT i = 0; i < 4 * 2 * bpp; ++i) EXPECT_EQ(static_cast<BYTE*>(lr.pBits)[i], 0) << i;
        tex->UnlockRect(1);
        std::vector<BYTE> want[2];
        for (UINT level = 0; level < 2; ++level) {
            const UINT w = 8 >> level, h = 4 >> level;
            want[level].resize(w * h * bpp);
            for (size_t i = 0; i < want[level].size(); ++i) want[level][i] = static_cast<BYTE>(i * 37 + level * 101 + 5);
            ASSERT_EQ(tex->LockRect(level, &lr, nullptr, 0), D3D_OK);
            std::memcpy(lr.pBits, want[level].data(), want[level].size());
            ASSERT_EQ(tex->UnlockRect(level), D3D_OK);
        }
        // A read-only lock, then a partial write into level 0 keep everything else.
        ASSERT_EQ(tex->LockRect(0, &lr, nullptr, D3DLOCK_READONLY), D3D_OK);
        EXPECT_EQ(std::memcmp(lr.pBits, want[0].data(), want[0].size()), 0);
        tex->UnlockRect(0);
        RECT r{2, 1, 4, 3};
        ASSERT_EQ(tex->LockRect(0, &lr, &r, 0), D3D_OK);
        for (UINT y = 0; y < 2; ++y)
            for (UINT b = 0; b < 2 * bpp; ++b) {
                static_cast<BYTE*>(lr.pBits)[y * lr.Pitch + b] = static_cast<BYTE>(0xC0 + y * 16 + b);
                want[0][(1 + y) * 8 * bpp + 2 * bpp + b] = static_cast<BYTE>(0xC0 + y * 16 + b);
            }
        ASSERT_EQ(tex->UnlockRect(0), D3D_OK);
        for (UINT level = 0; level < 2; ++level) {
            ASSERT_EQ(tex->LockRect(level, &lr, nullptr, D3DLOCK_READONLY), D3D_OK);
            EXPECT_EQ(std::memcmp(lr.pBits, want[level].data(), want[level].size()), 0) << "level " << level;
            tex->UnlockRect(level);
        }
        EXPECT_EQ(tex->Release(), 0u);
    }
}

TEST(DeviceLifetime, ResourcesKeepTheirDeviceAlive) {
    IDirect3D8* d3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    IDirect3DDevice8* dev = velunar_test::CreateDevice(d3d, nullptr, 64, 64);
    ASSERT_NE(dev, nullptr);
    IDirect3DTexture8* tex = nullptr;
    ASSERT_EQ(dev->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex), D3D_OK);
    // Released out of order, the texture still works and frees the device last.
    EXPECT_EQ(dev->Release(), 1u);
    D3DLOCKED_RECT lr{};
    ASSERT_EQ(tex->LockRect(0, &lr, nullptr, 0), D3D_OK);
    static_cast<DWORD*>(lr.pBits)[0] = 1;
    EXPECT_EQ(tex->UnlockRect(0), D3D_OK);
    EXPECT_EQ(tex->Release(), 0u);
    EXPECT_EQ(d3d->Release(), 0u);
}

TEST_F(Device, BufferLocksKeepTheirContentWhateverThePool) {
    IDirect3DVertexBuffer8* vb = nullptr;
    ASSERT_EQ(dev->CreateVertexBuffer(4 * sizeof(ScreenVertex), D3DUSAGE_WRITEONLY | D3DUSAGE_SOFTWAREPROCESSING,
                                      kScreenFvf, D3DPOOL_DEFAULT, &vb),
              D3D_OK);
    D3DVERTEXBUFFER_DESC vd{};
    vb->GetDesc(&vd);
    EXPECT_EQ(vd.Size, 80u);
    EXPECT_EQ(vd.FVF, kScreenFvf);
    BYTE* p = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, &p, 0), D3D_OK);
    auto* v = reinterpret_cast<ScreenVertex*>(p);
    v[0] = {10, 10, 0.5f, 1, 0xff00ff00};
    v[1] = {50, 10, 0.5f, 1, 0xff00ff00};
    v[2] = {10, 50, 0.5f, 1, 0xff00ff00};
    v[3] = {50, 50, 0.5f, 1, 0xff00ff00};
    ASSERT_EQ(vb->Unlock(), D3D_OK);
    EXPECT_EQ(vb->Lock(40, 80, &p, 0), D3DERR_INVALIDCALL);  // past the end
    EXPECT_EQ(vb->Unlock(), D3DERR_INVALIDCALL);               // nothing locked

    IDirect3DIndexBuffer8* ib = nullptr;
    ASSERT_EQ(dev->CreateIndexBuffer(6 * sizeof(WORD), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &ib), D3D_OK);
    ASSERT_EQ(ib->Lock(0, 0, &p, 0), D3D_OK);
    const WORD idx[6] = {0, 1, 2, 2, 1, 3};
    std::memcpy(p, idx, sizeof idx);
    ib->Unlock();
    ASSERT_EQ(ib->Lock(0, 0, &p, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(reinterpret_cast<WORD*>(p)[5], 3);
    ib->Unlock();

    ClearTo(0xff000000);
    dev->SetVertexShader(kScreenFvf);
    dev->SetStreamSource(0, vb, sizeof(ScreenVertex));
    dev->SetIndices(ib, 0);
    ASSERT_EQ(dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2), D3D_OK);
    EXPECT_TRUE(Near(Pixel(45, 45), 0xff00ff00));
    ClearTo(0xff000000);
    ASSERT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    EXPECT_TRUE(Near(Pixel(45, 45), 0xff00ff00));
    EXPECT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, 1, 3), D3DERR_INVALIDCALL);  // reads past the buffer
    EXPECT_EQ(dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 3, 2), D3DERR_INVALIDCALL);

    // Lock while bound: the next draw sees the new content.
    ASSERT_EQ(vb->Lock(0, 0, &p, D3DLOCK_DISCARD), D3D_OK);
    for (int i = 0; i < 4; ++i) reinterpret_cast<ScreenVertex*>(p)[i].color = 0xffff0000;
    vb->Unlock();
    ASSERT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    EXPECT_TRUE(Near(Pixel(45, 45), 0xffff0000));

    dev->SetStreamSource(0, nullptr, 0);
    dev->SetIndices(nullptr, 0);
    EXPECT_EQ(vb->Release(), 0u);
    EXPECT_EQ(ib->Release(), 0u);
}

TEST_F(Device, ABufferMadeAfterOneIsFreedDrawsItsOwnVertices) {
    // GL hands a freed buffer's name to the next one; the layout of the old must not stick.
    for (D3DCOLOR colour : {0xffff0000u, 0xff00ff00u}) {
        IDirect3DVertexBuffer8* vb = nullptr;
        ASSERT_EQ(dev->CreateVertexBuffer(4 * sizeof(ScreenVertex), D3DUSAGE_WRITEONLY, kScreenFvf, D3DPOOL_DEFAULT, &vb),
                  D3D_OK);
        BYTE* p = nullptr;
        ASSERT_EQ(vb->Lock(0, 0, &p, 0), D3D_OK);
        auto* v = reinterpret_cast<ScreenVertex*>(p);
        v[0] = {0, 0, 0.5f, 1, colour};
        v[1] = {20, 0, 0.5f, 1, colour};
        v[2] = {0, 20, 0.5f, 1, colour};
        v[3] = {20, 20, 0.5f, 1, colour};
        vb->Unlock();
        dev->SetVertexShader(kScreenFvf);
        dev->SetStreamSource(0, vb, sizeof(ScreenVertex));
        ClearTo(0xff000000);
        ASSERT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
        EXPECT_TRUE(Near(Pixel(10, 10), colour));
        dev->SetStreamSource(0, nullptr, 0);
        EXPECT_EQ(vb->Release(), 0u);
    }
}

TEST_F(Device, RenderToTextureThenSampleIt) {
    IDirect3DTexture8* target = nullptr;
    ASSERT_EQ(dev->CreateTexture(64, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target), D3D_OK);
    IDirect3DSurface8 *surface = nullptr, *back = nullptr, *depth = nullptr;
    ASSERT_EQ(target->GetSurfaceLevel(0, &surface), D3D_OK);
    ASSERT_EQ(dev->GetRenderTarget(&back), D3D_OK);
    ASSERT_EQ(dev->GetDepthStencilSurface(&depth), D3D_OK);
    IDirect3DSurface8* targetDepth = nullptr;
    ASSERT_EQ(dev->CreateDepthStencilSurface(64, 32, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, &targetDepth), D3D_OK);

    ASSERT_EQ(dev->SetRenderTarget(surface, targetDepth), D3D_OK);
    D3DVIEWPORT8 vp{};
    dev->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 64u);  // the viewport follows the target
    EXPECT_EQ(vp.Height, 32u);
    ClearTo(0xff0000ff);
    ASSERT_EQ(Quad(0, 0, 32, 32, 0xffff0000), D3D_OK);  // left half red, top row first
    EXPECT_TRUE(Near(Pixel(10, 0), 0xffff0000));
    EXPECT_TRUE(Near(Pixel(40, 31), 0xff0000ff));

    ASSERT_EQ(dev->SetRenderTarget(back, depth), D3D_OK);
    dev->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 800u);
    ClearTo(0xff000000);
    dev->SetTexture(0, target);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    ASSERT_EQ(TexturedQuad(0, 0, 128, 64, 0xffffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(20, 10), 0xffff0000));
    EXPECT_TRUE(Near(Pixel(100, 50), 0xff0000ff));
    dev->SetTexture(0, nullptr);
    // A plain surface is no render target.
    IDirect3DSurface8* image = nullptr;
    ASSERT_EQ(dev->CreateImageSurface(8, 8, D3DFMT_A8R8G8B8, &image), D3D_OK);
    EXPECT_EQ(dev->SetRenderTarget(image, nullptr), D3DERR_INVALIDCALL);
    // The back buffer copies into an image surface pixel for pixel.
    RECT r{20, 10, 28, 18};
    POINT at{0, 0};
    ASSERT_EQ(dev->CopyRects(back, &r, 1, image, &at), D3D_OK);
    D3DLOCKED_RECT lr{};
    ASSERT_EQ(image->LockRect(&lr, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_TRUE(Near(static_cast<DWORD*>(lr.pBits)[0], 0xffff0000));
    image->UnlockRect();
    image->Release();
    targetDepth->Release();
    surface->Release();
    back->Release();
    depth->Release();
    EXPECT_EQ(target->Release(), 0u);
}

TEST_F(Device, StateBlocksRecordCaptureAndApply) {
    ASSERT_EQ(dev->BeginStateBlock(), D3D_OK);
    dev->SetRenderState(D3DRS_ALPHAREF, 8);
    dev->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    dev->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
    DWORD token = 0;
    ASSERT_EQ(dev->EndStateBlock(&token), D3D_OK);
    EXPECT_NE(token, 0u);
    DWORD v = 0;
    dev->GetRenderState(D3DRS_ALPHAREF, &v);
    EXPECT_EQ(v, 0u);  // recording leaves the device alone

    dev->SetRenderState(D3DRS_ALPHAREF, 99);
    dev->SetRenderState(D3DRS_ZENABLE, FALSE);
    ASSERT_EQ(dev->ApplyStateBlock(token), D3D_OK);
    dev->GetRenderState(D3DRS_ALPHAREF, &v);
    EXPECT_EQ(v, 8u);
    dev->GetRenderState(D3DRS_ALPHAFUNC, &v);
    EXPECT_EQ(v, static_cast<DWORD>(D3DCMP_GREATEREQUAL));
    dev->GetRenderState(D3DRS_ZENABLE, &v);
    EXPECT_EQ(v, static_cast<DWORD>(D3DZB_FALSE));  // not in the block

    // Capture takes the current values of the states the block holds, and only those.
    dev->SetRenderState(D3DRS_ALPHAREF, 42);
    ASSERT_EQ(dev->CaptureStateBlock(token), D3D_OK);
    dev->SetRenderState(D3DRS_ALPHAREF, 1);
    dev->ApplyStateBlock(token);
    dev->GetRenderState(D3DRS_ALPHAREF, &v);
    EXPECT_EQ(v, 42u);

    // A whole-device block brings back textures, transforms and states.
    IDirect3DTexture8* tex = MakeTexture(1, 1, [](UINT, UINT) { return 0xffffffffu; });
    dev->SetTexture(0, tex);
    D3DMATRIX world = Identity();
    world._41 = 3.0f;
    dev->SetTransform(D3DTS_WORLD, &world);
    DWORD all = 0;
    ASSERT_EQ(dev->CreateStateBlock(D3DSBT_ALL, &all), D3D_OK);
    dev->SetTexture(0, nullptr);
    dev->SetRenderState(D3DRS_LIGHTING, FALSE);
    const D3DMATRIX id = Identity();
    dev->SetTransform(D3DTS_WORLD, &id);
    ASSERT_EQ(dev->ApplyStateBlock(all), D3D_OK);
    IDirect3DBaseTexture8* bound = nullptr;
    dev->GetTexture(0, &bound);
    EXPECT_EQ(bound, static_cast<IDirect3DBaseTexture8*>(tex));
    if (bound) bound->Release();
    D3DMATRIX got{};
    dev->GetTransform(D3DTS_WORLD, &got);
    EXPECT_EQ(got._41, 3.0f);
    dev->GetRenderState(D3DRS_LIGHTING, &v);
    EXPECT_EQ(v, static_cast<DWORD>(TRUE));

    EXPECT_EQ(dev->DeleteStateBlock(all), D3D_OK);
    EXPECT_EQ(dev->ApplyStateBlock(all), D3DERR_INVALIDCALL);
    EXPECT_EQ(dev->EndStateBlock(&v), D3DERR_INVALIDCALL);  // not recording
    dev->SetTexture(0, nullptr);
    tex->Release();
}

TEST_F(Device, LightsAndMaterialRoundTrip) {
    D3DLIGHT8 light{};
    EXPECT_EQ(dev->GetLight(0, &light), D3DERR_INVALIDCALL);
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 0.5f, 0.25f, 0};
    light.Direction = {0, 1, 0};
    ASSERT_EQ(dev->SetLight(0, &light), D3D_OK);
    D3DLIGHT8 got{};
    ASSERT_EQ(dev->GetLight(0, &got), D3D_OK);
    EXPECT_EQ(got.Diffuse.g, 0.5f);
    BOOL on = TRUE;
    dev->GetLightEnable(0, &on);
    EXPECT_FALSE(on);
    dev->LightEnable(3, TRUE);  // a light never set becomes the default white one
    ASSERT_EQ(dev->GetLight(3, &got), D3D_OK);
    EXPECT_EQ(got.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(got.Direction.z, 1.0f);
    D3DMATERIAL8 m{};
    m.Diffuse = {0.2f, 1, 1, 1};
    dev->SetMaterial(&m);
    D3DMATERIAL8 gm{};
    dev->GetMaterial(&gm);
    EXPECT_EQ(gm.Diffuse.r, 0.2f);
}

TEST_F(Device, ProgramsAreSharedByDrawsThatDifferOnlyInNumbers) {
    auto* impl = static_cast<velunar::d3d8::Device*>(dev);
    ASSERT_EQ(Quad(0, 0, 4, 4, 0xffffffff), D3D_OK);
    const size_t first = impl->ProgramCount();
    // Colours, blend factors, the texture factor and the alpha reference are no part of a program.
    dev->SetRenderState(D3DRS_TEXTUREFACTOR, 0x12345678);
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    dev->SetRenderState(D3DRS_ALPHAREF, 3);
    ASSERT_EQ(Quad(0, 0, 4, 4, 0xff00ff00), D3D_OK);
    EXPECT_EQ(impl->ProgramCount(), first);
    // The alpha test and a texture stage op are.
    dev->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    dev->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    ASSERT_EQ(Quad(0, 0, 4, 4, 0xff00ff00), D3D_OK);
    EXPECT_EQ(impl->ProgramCount(), first + 1);
    dev->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    ASSERT_EQ(Quad(0, 0, 4, 4, 0xff00ff00), D3D_OK);
    EXPECT_EQ(impl->ProgramCount(), first + 1);
}

TEST_F(Device, SkippedDrawsKeepStateButLeavePixels) {
    ClearTo(0xff000000);
    D3D8_SetSkipDraws(true);
    dev->SetRenderState(D3DRS_ALPHAREF, 5);
    EXPECT_EQ(Quad(0, 0, 10, 10, 0xffffffff), D3D_OK);
    D3D8_SetSkipDraws(false);
    EXPECT_TRUE(Near(Pixel(5, 5), 0xff000000));
    DWORD v = 0;
    dev->GetRenderState(D3DRS_ALPHAREF, &v);
    EXPECT_EQ(v, 5u);
    EXPECT_EQ(Quad(0, 0, 10, 10, 0xffffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(5, 5), 0xffffffff));
}

TEST_F(Device, SceneBracketAndPresentKeepTheBackBuffer) {
    EXPECT_EQ(dev->EndScene(), D3DERR_INVALIDCALL);
    ASSERT_EQ(dev->BeginScene(), D3D_OK);
    EXPECT_EQ(dev->BeginScene(), D3DERR_INVALIDCALL);
    ClearTo(0xff336699);
    ASSERT_EQ(Quad(0, 0, 10, 10, 0xffffffff), D3D_OK);
    ASSERT_EQ(dev->EndScene(), D3D_OK);
    D3D8_SetVsync(false);
    ASSERT_EQ(dev->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    D3D8_SetVsync(true);
    // Drawing after a present goes on into the back buffer.
    ASSERT_EQ(Quad(20, 0, 30, 10, 0xffff0000), D3D_OK);
    EXPECT_TRUE(Near(Pixel(5, 5), 0xffffffff));
    EXPECT_TRUE(Near(Pixel(25, 5), 0xffff0000));
    EXPECT_TRUE(Near(Pixel(50, 50), 0xff336699));
}

}  // namespace
}  // namespace d3d8test
