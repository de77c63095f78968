// A back buffer made twice the size asked for: the program's coordinates stay 800 x 600 and the
// device scales the viewport, clears, pre-transformed and transformed geometry and point sizes on
// it, while render targets the program creates keep their size.
#include "d3d8_fixture.h"
#include "platform/d3d8/d3d8_ext.h"
#include "platform/d3d8/d3d8_swapchain.h"

namespace d3d8test {
namespace {

constexpr int kScale = 2;

class Scaled : public DeviceTest {
protected:
    void SetUp() override {
        D3D8_SetBackBufferScale(kScale);
        DeviceTest::SetUp();
        D3D8_SetBackBufferScale(1);
    }
    // Every target pixel in [x0, x1) x [y0, y1) has colour c, and the ring of pixels around it
    // does not (within the target).
    ::testing::AssertionResult CoversExactly(int x0, int y0, int x1, int y1, D3DCOLOR c) {
        UINT w = 0;
        const std::vector<D3DCOLOR> px = ReadTarget(&w);
        const int h = static_cast<int>(px.size() / w);
        for (int y = std::max(0, y0 - 1); y < std::min(h, y1 + 1); ++y)
            for (int x = std::max(0, x0 - 1); x < std::min(static_cast<int>(w), x1 + 1); ++x) {
                const bool inside = x >= x0 && x < x1 && y >= y0 && y < y1;
                if (Near(px[static_cast<size_t>(y) * w + x], c, 2) != inside)
                    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is "
                                                         << (inside ? "not covered" : "covered");
            }
        return ::testing::AssertionSuccess();
    }
};

TEST_F(Scaled, BackBufferIsLargerWhileTheViewportKeepsTheProgramsSize) {
    EXPECT_EQ(D3D8_GetBackBufferScale(dev), 2u);
    EXPECT_EQ(D3D8_GetTargetScale(dev), 2u);
    IDirect3DSurface8* rt = nullptr;
    ASSERT_EQ(dev->GetRenderTarget(&rt), D3D_OK);
    D3DSURFACE_DESC d{};
    rt->GetDesc(&d);
    EXPECT_EQ(d.Width, 1600u);
    EXPECT_EQ(d.Height, 1200u);
    IDirect3DSurface8* depth = nullptr;
    ASSERT_EQ(dev->GetDepthStencilSurface(&depth), D3D_OK);
    depth->GetDesc(&d);
    EXPECT_EQ(d.Width, 1600u);
    depth->Release();
    D3DVIEWPORT8 vp{};
    dev->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 800u);
    EXPECT_EQ(vp.Height, 600u);
    // The viewport is checked against the program's size, and set back to it with the target.
    D3DVIEWPORT8 tooWide{0, 0, 801, 600, 0, 1};
    EXPECT_EQ(dev->SetViewport(&tooWide), D3DERR_INVALIDCALL);
    D3DVIEWPORT8 part{100, 50, 200, 100, 0, 1};
    ASSERT_EQ(dev->SetViewport(&part), D3D_OK);
    ASSERT_EQ(dev->SetRenderTarget(rt, depth), D3D_OK);
    dev->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 800u);
    rt->Release();
}

TEST_F(Scaled, ClearsAndViewportsCoverTheSameShare) {
    ClearTo(0xff000000);
    D3DRECT r{10, 20, 30, 40};
    ASSERT_EQ(dev->Clear(1, &r, D3DCLEAR_TARGET, 0xffff0000, 1.0f, 0), D3D_OK);
    EXPECT_TRUE(CoversExactly(20, 40, 60, 80, 0xffff0000));
    ClearTo(0xff000000);
    D3DVIEWPORT8 vp{100, 100, 50, 50, 0, 1};
    ASSERT_EQ(dev->SetViewport(&vp), D3D_OK);
    ASSERT_EQ(dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xff00ff00, 1.0f, 0), D3D_OK);
    EXPECT_TRUE(CoversExactly(200, 200, 300, 300, 0xff00ff00));
    // A pre-transformed quad over the whole viewport fills exactly the viewport's share.
    ClearTo(0xff000000);
    ASSERT_EQ(dev->SetViewport(&vp), D3D_OK);
    ASSERT_EQ(Quad(100, 100, 150, 150, 0xffffffff), D3D_OK);
    EXPECT_TRUE(CoversExactly(200, 200, 300, 300, 0xffffffff));
}

TEST_F(Scaled, PreTransformedEdgesLandOnScaledPixelEdges) {
    // The letterbox bars: the whole width, exactly the top 100 and bottom 100 rows of the picture.
    ClearTo(0xff808080);
    dev->SetRenderState(D3DRS_ZENABLE, FALSE);
    ASSERT_EQ(Quad(0, 0, 800, 100, 0xff000000, 0.1f), D3D_OK);
    EXPECT_TRUE(CoversExactly(0, 0, 1600, 200, 0xff000000));
    ClearTo(0xff808080);
    ASSERT_EQ(Quad(0, 500, 800, 600, 0xff000000, 0.1f), D3D_OK);
    EXPECT_TRUE(CoversExactly(0, 1000, 1600, 1200, 0xff000000));
    ClearTo(0xff000000);
    ASSERT_EQ(Quad(90, 110, 570, 300, 0xffffffff), D3D_OK);
    EXPECT_TRUE(CoversExactly(180, 220, 1140, 600, 0xffffffff));
}

TEST_F(Scaled, TexelsOfAQuadAlignedToTargetPixelsStaySharp) {
    // Offset by half a target pixel, a quad twice its texture's size maps each texel onto two
    // by two pixels with point sampling, as at scale 1 it maps each texel onto one.
    IDirect3DTexture8* t = MakeTexture(4, 4, [](UINT x, UINT y) { return (x + y) % 2 ? 0xffffffffu : 0xff000000u; });
    dev->SetTexture(0, t);
    dev->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
    dev->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    ClearTo(0xff0000ff);
    const float half = 0.5f / kScale;
    ASSERT_EQ(TexturedQuad(10 - half, 10 - half, 14 - half, 14 - half, 0xffffffff), D3D_OK);
    UINT w = 0;
    const std::vector<D3DCOLOR> px = ReadTarget(&w);
    for (int y = 20; y < 28; ++y)
        for (int x = 20; x < 28; ++x) {
            const D3DCOLOR want = ((x - 20) / 2 + (y - 20) / 2) % 2 ? 0xffffffff : 0xff000000;
            EXPECT_TRUE(Near(px[static_cast<size_t>(y) * w + x], want, 0)) << x << ", " << y;
        }
    EXPECT_TRUE(Near(px[static_cast<size_t>(20) * w + 19], 0xff0000ff, 0));
    EXPECT_TRUE(Near(px[static_cast<size_t>(19) * w + 20], 0xff0000ff, 0));
    dev->SetTexture(0, nullptr);
    t->Release();
}

TEST_F(Scaled, TransformedGeometryFillsTheScaledViewport) {
    // Identity transforms: clip space -1 ... 1 is the whole picture.
    const D3DMATRIX id = Identity();
    dev->SetTransform(D3DTS_WORLD, &id);
    dev->SetTransform(D3DTS_VIEW, &id);
    dev->SetTransform(D3DTS_PROJECTION, &id);
    dev->SetRenderState(D3DRS_LIGHTING, FALSE);
    ClearTo(0xff000000);
    // The left half of clip space.
    ColorVertex v[4] = {{-1, 1, 0.5f, 0xffffffff}, {0, 1, 0.5f, 0xffffffff}, {-1, -1, 0.5f, 0xffffffff},
                        {0, -1, 0.5f, 0xffffffff}};
    dev->SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    ASSERT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(ColorVertex)), D3D_OK);
    EXPECT_TRUE(CoversExactly(0, 0, 800, 1200, 0xffffffff));
}

TEST_F(Scaled, PointSizesAreInTheProgramsPixels) {
    ClearTo(0xff000000);
    struct PointVertex {
        float x, y, z, rhw;
        D3DCOLOR color;
    } p{100, 100, 0.5f, 1, 0xffffffff};
    dev->SetRenderState(D3DRS_POINTSIZE, 0x40800000);  // 4.0f
    dev->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
    ASSERT_EQ(dev->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &p, sizeof p), D3D_OK);
    UINT w = 0;
    const std::vector<D3DCOLOR> px = ReadTarget(&w);
    int covered = 0;
    for (D3DCOLOR c : px) covered += Near(c, 0xffffffff, 2) ? 1 : 0;
    // Four of the program's pixels square: eight by eight target pixels.
    EXPECT_EQ(covered, 64);
    EXPECT_TRUE(Near(px[static_cast<size_t>(200) * w + 200], 0xffffffff, 2));
}

TEST_F(Scaled, TargetsTheProgramCreatesKeepTheirSize) {
    IDirect3DTexture8* t = nullptr;
    ASSERT_EQ(dev->CreateTexture(64, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &t), D3D_OK);
    IDirect3DSurface8* level = nullptr;
    IDirect3DSurface8* back = nullptr;
    IDirect3DSurface8* depth = nullptr;
    ASSERT_EQ(t->GetSurfaceLevel(0, &level), D3D_OK);
    ASSERT_EQ(dev->GetRenderTarget(&back), D3D_OK);
    ASSERT_EQ(dev->GetDepthStencilSurface(&depth), D3D_OK);
    ASSERT_EQ(dev->SetRenderTarget(level, nullptr), D3D_OK);
    EXPECT_EQ(D3D8_GetTargetScale(dev), 1u);
    D3DVIEWPORT8 vp{};
    dev->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 64u);
    ASSERT_EQ(dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xff000000, 1.0f, 0), D3D_OK);
    D3DRECT r{0, 0, 8, 8};
    ASSERT_EQ(dev->Clear(1, &r, D3DCLEAR_TARGET, 0xff00ff00, 1.0f, 0), D3D_OK);
    D3DVIEWPORT8 quarter{32, 32, 32, 32, 0, 1};
    ASSERT_EQ(dev->SetViewport(&quarter), D3D_OK);
    ASSERT_EQ(Quad(32, 32, 48, 48, 0xffffffff), D3D_OK);
    EXPECT_TRUE(CoversExactly(0, 0, 8, 8, 0xff00ff00));
    EXPECT_TRUE(CoversExactly(32, 32, 48, 48, 0xffffffff));
    ASSERT_EQ(dev->SetRenderTarget(back, depth), D3D_OK);
    EXPECT_EQ(D3D8_GetTargetScale(dev), 2u);
    dev->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 800u);
    level->Release();
    back->Release();
    depth->Release();
    t->Release();
}

TEST(ScaledWindow, APictureLargerThanTheRoomShrinksToFitWithItsShape) {
    using velunar::d3d8::WindowForPicture;
    auto r = WindowForPicture(1600, 1200, 2560, 1400);
    EXPECT_EQ(r.width, 1600);
    EXPECT_EQ(r.height, 1200);
    EXPECT_EQ(r.x, 480);
    EXPECT_EQ(r.y, 100);
    r = WindowForPicture(1600, 1200, 1920, 1050);
    EXPECT_EQ(r.width, 1400);
    EXPECT_EQ(r.height, 1050);
    EXPECT_EQ(r.x, 260);
    r = WindowForPicture(3200, 2400, 1000, 2000);
    EXPECT_EQ(r.width, 1000);
    EXPECT_EQ(r.height, 750);
}

}  // namespace
}  // namespace d3d8test
