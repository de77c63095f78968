// Draws the device skips because they cannot change the target: the skipped ones really change
// nothing (and build no program), and every near miss, whose pixels or depth do change, is drawn.
// Also the back buffer's kept rectangle: draws leave the promised-over pixels alone, other targets
// and clears are not limited, and Present ends the promise.
#include "d3d8_fixture.h"
#include "platform/d3d8/d3d8_device.h"
#include "platform/d3d8/d3d8_ext.h"

namespace d3d8test {
namespace {

class NoOpDraws : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        ClearTo(0xff204060);
        dev->SetRenderState(D3DRS_ZENABLE, FALSE);
        dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
        dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
        dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
        // In every program key but in nothing that decides a skip: a draw that reaches GL builds one.
        dev->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
        dev->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_NOTEQUAL);
        dev->SetRenderState(D3DRS_ALPHAREF, 7);
    }
    size_t Programs() { return static_cast<velunar::d3d8::Device*>(dev)->ProgramCount(); }
    bool Unchanged(int x, int y) { return Pixel(x, y) == 0xff204060u; }
};

TEST_F(NoOpDraws, BlendedAwayOrUnwrittenDrawsAreSkipped) {
    const size_t programs = Programs();
    // Source alpha 0 onto "one": from the diffuse colour, through a modulate with a texture, from
    // the texture factor; a zero source factor; no colour written; rectangles with no height.
    EXPECT_EQ(Quad(0, 0, 20, 20, 0x00ffffff), D3D_OK);
    IDirect3DTexture8* tex = MakeTexture(4, 4, [](UINT, UINT) { return 0xffffffffu; });
    dev->SetTexture(0, tex);
    dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    EXPECT_EQ(TexturedQuad(0, 0, 20, 20, 0x00ffffff), D3D_OK);
    dev->SetTexture(0, nullptr);
    tex->Release();
    dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TFACTOR);
    dev->SetRenderState(D3DRS_TEXTUREFACTOR, 0x00ffffff);
    dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    EXPECT_EQ(Quad(0, 0, 20, 20, 0xffffffff), D3D_OK);
    dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    EXPECT_EQ(Quad(0, 0, 20, 20, 0xffffffff), D3D_OK);
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    dev->SetRenderState(D3DRS_COLORWRITEENABLE, 0);
    EXPECT_EQ(Quad(0, 0, 20, 20, 0xffffffff), D3D_OK);
    dev->SetRenderState(D3DRS_COLORWRITEENABLE, 0xf);
    EXPECT_EQ(Quad(0, 5, 20, 5, 0xffffffff), D3D_OK);
    EXPECT_EQ(Programs(), programs);
    EXPECT_TRUE(Unchanged(10, 10));
}

TEST_F(NoOpDraws, DrawsThatChangeAnythingAreDrawn) {
    // Beside a blended-away quad, one whose alpha is not zero.
    ASSERT_EQ(Quad(0, 0, 10, 10, 0x00ffffff), D3D_OK);
    ASSERT_EQ(Quad(10, 0, 20, 10, 0x80ffffff), D3D_OK);
    EXPECT_TRUE(Unchanged(5, 5));
    EXPECT_TRUE(Near(Pixel(15, 5), 0xffa0c0e0, 2));
    // One vertex of four with alpha.
    ScreenVertex v[4] = {{20, 0, 0.5f, 1, 0x00ffffff}, {40, 0, 0.5f, 1, 0x00ffffff},
                         {20, 20, 0.5f, 1, 0x00ffffff}, {40, 20, 0.5f, 1, 0xffffffff}};
    ASSERT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(ScreenVertex)), D3D_OK);
    EXPECT_FALSE(Unchanged(38, 18));
    // The target not kept at "one".
    dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    ASSERT_EQ(Quad(40, 0, 60, 20, 0x00ffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(50, 10), 0xff000000, 0));
    dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    // Alpha from the texture, not the diffuse colour.
    IDirect3DTexture8* tex = MakeTexture(4, 4, [](UINT, UINT) { return 0xff000000u; });
    dev->SetTexture(0, tex);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    ASSERT_EQ(TexturedQuad(60, 0, 80, 20, 0x00ffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(70, 10), 0xff000000, 0));
    dev->SetTexture(0, nullptr);
    tex->Release();
    // The complement of a zero alpha, and a texture factor with alpha.
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE | D3DTA_COMPLEMENT);
    ASSERT_EQ(Quad(80, 0, 100, 20, 0x00ffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(90, 10), 0xffffffff, 0));
    dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TFACTOR);
    dev->SetRenderState(D3DRS_TEXTUREFACTOR, 0xff000000);
    ASSERT_EQ(Quad(100, 0, 120, 20, 0x00ffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(110, 10), 0xffffffff, 0));
    // A rectangle one pixel tall.
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    ASSERT_EQ(Quad(120, 5, 140, 6, 0xffffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(130, 5), 0xffffffff, 0));
}

TEST_F(NoOpDraws, DepthWritesAreChangesToo) {
    // Blended away, or no colour written, but depth written: a later farther quad stays hidden.
    dev->SetRenderState(D3DRS_ZENABLE, TRUE);
    dev->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    dev->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    ASSERT_EQ(Quad(0, 0, 20, 20, 0x00ffffff, 0.2f), D3D_OK);
    dev->SetRenderState(D3DRS_COLORWRITEENABLE, 0);
    ASSERT_EQ(Quad(20, 0, 40, 20, 0xffffffff, 0.2f), D3D_OK);
    dev->SetRenderState(D3DRS_COLORWRITEENABLE, 0xf);
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    ASSERT_EQ(Quad(0, 0, 60, 20, 0xffff0000, 0.5f), D3D_OK);
    EXPECT_TRUE(Unchanged(10, 10));
    EXPECT_TRUE(Unchanged(30, 10));
    EXPECT_TRUE(Near(Pixel(50, 10), 0xffff0000, 0));
}

TEST_F(NoOpDraws, IndexedDrawsLookOnlyAtTheVerticesTheyUse) {
    // Vertices 0-3 have no alpha, 4-7 have: a draw of the first four is skipped, of the others not.
    IDirect3DVertexBuffer8* vb = nullptr;
    IDirect3DIndexBuffer8* ib = nullptr;
    ASSERT_EQ(dev->CreateVertexBuffer(8 * sizeof(ScreenVertex), 0, kScreenFvf, D3DPOOL_MANAGED, &vb), D3D_OK);
    ASSERT_EQ(dev->CreateIndexBuffer(6 * 2, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib), D3D_OK);
    BYTE* p = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, &p, 0), D3D_OK);
    auto* v = reinterpret_cast<ScreenVertex*>(p);
    for (int i = 0; i < 8; ++i) {
        const float x0 = i < 4 ? 0.0f : 20.0f;
        v[i] = {x0 + (i & 1 ? 20.0f : 0.0f), i & 2 ? 20.0f : 0.0f, 0.5f, 1.0f, i < 4 ? 0x00ffffffu : 0xffffffffu};
    }
    vb->Unlock();
    ASSERT_EQ(ib->Lock(0, 0, &p, 0), D3D_OK);
    const WORD idx[6] = {0, 1, 2, 1, 3, 2};
    std::memcpy(p, idx, sizeof idx);
    ib->Unlock();
    dev->SetStreamSource(0, vb, sizeof(ScreenVertex));
    dev->SetIndices(ib, 0);
    dev->SetVertexShader(kScreenFvf);
    const size_t programs = Programs();
    ASSERT_EQ(dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2), D3D_OK);
    EXPECT_EQ(Programs(), programs);
    dev->SetIndices(ib, 4);
    ASSERT_EQ(dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2), D3D_OK);
    EXPECT_TRUE(Unchanged(10, 10));
    EXPECT_TRUE(Near(Pixel(30, 10), 0xffffffff, 0));
    dev->SetStreamSource(0, nullptr, 0);
    dev->SetIndices(nullptr, 0);
    vb->Release();
    ib->Release();
}

TEST_F(DeviceTest, BackBufferDrawsKeepToThePromisedRectangleUntilPresent) {
    ClearTo(0xff000000);
    const RECT keep{100, 50, 300, 150};
    D3D8_SetBackBufferKeep(dev, &keep);
    ASSERT_EQ(Quad(0, 0, 800, 600, 0xffffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(100, 50), 0xffffffff, 0));
    EXPECT_TRUE(Near(Pixel(299, 149), 0xffffffff, 0));
    EXPECT_TRUE(Near(Pixel(99, 100), 0xff000000, 0));
    EXPECT_TRUE(Near(Pixel(200, 150), 0xff000000, 0));
    // Clears are not limited.
    ASSERT_EQ(dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xff00ff00, 1.0f, 0), D3D_OK);
    EXPECT_TRUE(Near(Pixel(10, 10), 0xff00ff00, 0));

    // A render target of the program's own draws whole.
    IDirect3DTexture8* target = nullptr;
    IDirect3DSurface8 *surface = nullptr, *back = nullptr, *depth = nullptr;
    ASSERT_EQ(dev->CreateTexture(64, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target), D3D_OK);
    ASSERT_EQ(target->GetSurfaceLevel(0, &surface), D3D_OK);
    ASSERT_EQ(dev->GetRenderTarget(&back), D3D_OK);
    ASSERT_EQ(dev->GetDepthStencilSurface(&depth), D3D_OK);
    ASSERT_EQ(dev->SetRenderTarget(surface, nullptr), D3D_OK);
    ASSERT_EQ(Quad(0, 0, 64, 32, 0xffff0000), D3D_OK);
    EXPECT_TRUE(Near(Pixel(5, 5), 0xffff0000, 0));
    ASSERT_EQ(dev->SetRenderTarget(back, depth), D3D_OK);
    ASSERT_EQ(Quad(0, 0, 800, 600, 0xff0000ff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(10, 10), 0xff00ff00, 0));
    EXPECT_TRUE(Near(Pixel(150, 100), 0xff0000ff, 0));
    surface->Release();
    back->Release();
    depth->Release();
    target->Release();

    // Withdrawn, and ended by Present.
    D3D8_SetBackBufferKeep(dev, nullptr);
    ASSERT_EQ(Quad(0, 0, 20, 20, 0xffffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(10, 10), 0xffffffff, 0));
    D3D8_SetBackBufferKeep(dev, &keep);
    ASSERT_EQ(dev->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    ASSERT_EQ(Quad(20, 0, 40, 20, 0xffff0000), D3D_OK);
    EXPECT_TRUE(Near(Pixel(30, 10), 0xffff0000, 0));
}

}  // namespace
}  // namespace d3d8test
