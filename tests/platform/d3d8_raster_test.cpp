// Rasterisation facts of the device: clears, read-back order, pixel centres, culling, depth,
// blending and the alpha test.
#include "d3d8_fixture.h"

namespace d3d8test {
namespace {

using Raster = DeviceTest;

TEST_F(Raster, ClearFillsTheTargetAndRectanglesStayInside) {
    ClearTo(0xff102030);
    EXPECT_TRUE(Near(Pixel(0, 0), 0xff102030, 0, true));
    EXPECT_TRUE(Near(Pixel(799, 599), 0xff102030, 0, true));
    D3DRECT r{10, 20, 30, 40};
    ASSERT_EQ(dev->Clear(1, &r, D3DCLEAR_TARGET, 0x80ff0000, 1.0f, 0), D3D_OK);
    EXPECT_TRUE(Near(Pixel(10, 20), 0x80ff0000, 0, true));
    EXPECT_TRUE(Near(Pixel(29, 39), 0x80ff0000, 0, true));
    EXPECT_TRUE(Near(Pixel(30, 39), 0xff102030, 0, true));
    EXPECT_TRUE(Near(Pixel(9, 20), 0xff102030, 0, true));
    // Clears keep to the viewport.
    D3DVIEWPORT8 vp{100, 100, 50, 50, 0, 1};
    ASSERT_EQ(dev->SetViewport(&vp), D3D_OK);
    ASSERT_EQ(dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xff00ff00, 1.0f, 0), D3D_OK);
    EXPECT_TRUE(Near(Pixel(100, 100), 0xff00ff00));
    EXPECT_TRUE(Near(Pixel(99, 100), 0xff102030));
    EXPECT_TRUE(Near(Pixel(150, 149), 0xff102030));
}

TEST_F(Raster, ReadBackIsTopRowFirst) {
    ClearTo(0xff000000);
    ASSERT_EQ(Quad(0, 0, 800, 1, 0xffffffff), D3D_OK);
    std::vector<D3DCOLOR> px = ReadTarget();
    EXPECT_TRUE(Near(px[0], 0xffffffff));
    EXPECT_TRUE(Near(px[799], 0xffffffff));
    EXPECT_TRUE(Near(px[800], 0xff000000));
    EXPECT_TRUE(Near(px[599 * 800], 0xff000000));
}

TEST_F(Raster, PixelCentresLieOnIntegers) {
    ClearTo(0xff000000);
    ASSERT_EQ(Quad(0.5f, 0.5f, 2.5f, 2.5f, 0xffffffff), D3D_OK);
    for (int i = 0; i < 4; ++i) {
        bool inside = i == 1 || i == 2;
        EXPECT_EQ(Near(Pixel(i, 1), 0xffffffff), inside) << "x " << i;
        EXPECT_EQ(Near(Pixel(1, i), 0xffffffff), inside) << "y " << i;
    }
}

TEST_F(Raster, IntegerQuadFollowsTheTopLeftRuleAndIgnoresRhw) {
    ClearTo(0xff000000);
    ASSERT_EQ(Quad(90, 110, 570, 300, 0xffffffff, 0.5f, 2.0f), D3D_OK);
    std::vector<D3DCOLOR> px = ReadTarget();
    auto at = [&](int x, int y) { return px[static_cast<size_t>(y) * 800 + x]; };
    EXPECT_TRUE(Near(at(90, 110), 0xffffffff));
    EXPECT_TRUE(Near(at(569, 299), 0xffffffff));
    EXPECT_TRUE(Near(at(89, 110), 0xff000000));
    EXPECT_TRUE(Near(at(90, 109), 0xff000000));
    EXPECT_TRUE(Near(at(570, 299), 0xff000000));
    EXPECT_TRUE(Near(at(569, 300), 0xff000000));
}

TEST_F(Raster, CullingIsJudgedOnTheYDownScreen) {
    // (0,0), (100,0), (0,100) runs clockwise on a screen whose y grows downwards.
    ScreenVertex cw[3] = {{0, 0, 0.5f, 1, 0xffffffff}, {100, 0, 0.5f, 1, 0xffffffff}, {0, 100, 0.5f, 1, 0xffffffff}};
    ScreenVertex ccw[3] = {cw[0], cw[2], cw[1]};
    dev->SetVertexShader(kScreenFvf);
    struct Case {
        DWORD mode;
        bool cwDrawn, ccwDrawn;
    } cases[] = {{D3DCULL_CCW, true, false}, {D3DCULL_CW, false, true}, {D3DCULL_NONE, true, true}};
    for (const Case& c : cases) {
        dev->SetRenderState(D3DRS_CULLMODE, c.mode);
        ClearTo(0xff000000);
        dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, cw, sizeof(ScreenVertex));
        EXPECT_EQ(Near(Pixel(10, 10), 0xffffffff), c.cwDrawn) << "mode " << c.mode;
        ClearTo(0xff000000);
        dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, ccw, sizeof(ScreenVertex));
        EXPECT_EQ(Near(Pixel(10, 10), 0xffffffff), c.ccwDrawn) << "mode " << c.mode;
    }
}

TEST_F(Raster, NegativeWorldScaleFlipsTheWinding) {
    // Identity view and projection: x, y in -1 ... 1, y up. A triangle counter-clockwise in those
    // (y-up) coordinates is clockwise on the screen.
    ColorVertex tri[3] = {{-0.5f, 0.5f, 0.5f, 0xffffffff}, {0.5f, 0.5f, 0.5f, 0xffffffff}, {-0.5f, -0.5f, 0.5f, 0xffffffff}};
    dev->SetRenderState(D3DRS_LIGHTING, FALSE);
    dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    dev->SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    ClearTo(0xff000000);
    dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(ColorVertex));
    EXPECT_TRUE(Near(Pixel(300, 200), 0xffffffff));
    D3DMATRIX flip = Identity();
    flip._11 = -1.0f;
    dev->SetTransform(D3DTS_WORLD, &flip);
    ClearTo(0xff000000);
    dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(ColorVertex));
    EXPECT_TRUE(Near(Pixel(500, 200), 0xff000000));
    dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(ColorVertex));
    EXPECT_TRUE(Near(Pixel(500, 200), 0xffffffff));
}

TEST_F(Raster, DepthTestWritesAndTheUnclippedZOfDisabledDepth) {
    ClearTo(0xff000000);
    ASSERT_EQ(Quad(0, 0, 100, 100, 0xffff0000, 0.2f), D3D_OK);
    ASSERT_EQ(Quad(0, 0, 100, 100, 0xff00ff00, 0.6f), D3D_OK);  // behind: hidden under LESSEQUAL
    EXPECT_TRUE(Near(Pixel(50, 50), 0xffff0000));
    ASSERT_EQ(Quad(0, 0, 100, 100, 0xff0000ff, 0.2f), D3D_OK);  // equal depth passes
    EXPECT_TRUE(Near(Pixel(50, 50), 0xff0000ff));

    dev->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    ASSERT_EQ(Quad(0, 0, 100, 100, 0xffffffff, 0.1f), D3D_OK);
    ASSERT_EQ(Quad(0, 0, 100, 100, 0xffff00ff, 0.15f), D3D_OK);  // 0.1 was not written
    EXPECT_TRUE(Near(Pixel(50, 50), 0xffff00ff));

    dev->SetRenderState(D3DRS_ZENABLE, FALSE);
    ASSERT_EQ(Quad(0, 0, 100, 100, 0xff00ffff, 0.9f), D3D_OK);
    EXPECT_TRUE(Near(Pixel(50, 50), 0xff00ffff));
    ASSERT_EQ(Quad(0, 0, 100, 100, 0xffffff00, 1.5f), D3D_OK);  // outside 0 ... 1 and still drawn
    EXPECT_TRUE(Near(Pixel(50, 50), 0xffffff00));
}

TEST_F(Raster, StatesHoldAcrossClears) {
    // Clears write every channel and the depth; the next draws still follow the render states.
    dev->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    dev->SetRenderState(D3DRS_COLORWRITEENABLE, D3DCOLORWRITEENABLE_RED | D3DCOLORWRITEENABLE_GREEN);
    ASSERT_EQ(Quad(0, 0, 4, 4, 0xffffffff, 0.5f), D3D_OK);
    for (int frame = 0; frame < 2; ++frame) {
        ClearTo(0xff000000);
        ASSERT_EQ(Quad(0, 0, 100, 100, 0xffff0000, 0.2f), D3D_OK);
        ASSERT_EQ(Quad(0, 0, 100, 100, 0xffffffff, 0.6f), D3D_OK);  // 0.2 was not written: drawn, but not blue
        EXPECT_TRUE(Near(Pixel(50, 50), 0xffffff00, 0, true)) << "frame " << frame;
    }
}

TEST_F(Raster, BlendFactorPairs) {
    struct Case {
        DWORD src, dst;
        D3DCOLOR dest, source, expected;
    } cases[] = {
        {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, 0xff0000ff, 0x80ff0000, 0xff800080},
        {D3DBLEND_ONE, D3DBLEND_ZERO, 0xff0000ff, 0x40123456, 0x40123456},
        {D3DBLEND_ONE, D3DBLEND_ONE, 0xff404040, 0x00402010, 0xff806050},
        {D3DBLEND_SRCALPHA, D3DBLEND_ONE, 0xff202020, 0x80ff8000, 0xff9f6020},
        {D3DBLEND_DESTCOLOR, D3DBLEND_ZERO, 0xff808080, 0xffff4020, 0xff802010},
        {D3DBLEND_ZERO, D3DBLEND_SRCCOLOR, 0xff808080, 0xffff4020, 0xff802010},
        {D3DBLEND_ZERO, D3DBLEND_INVSRCCOLOR, 0xffffffff, 0xff00ff80, 0xffff007f},
        // The X8R8G8B8 back buffer has no alpha: DESTALPHA reads 1 whatever the clear gave.
        {D3DBLEND_DESTALPHA, D3DBLEND_ZERO, 0x40000000, 0xffffffff, 0xffffffff},
        {D3DBLEND_INVDESTALPHA, D3DBLEND_ONE, 0x40000000, 0xffffffff, 0xff000000},
        {D3DBLEND_ONE, D3DBLEND_DESTALPHA, 0x00404040, 0xff202020, 0xff606060},
    };
    dev->SetRenderState(D3DRS_ZENABLE, FALSE);
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    for (const Case& c : cases) {
        dev->SetRenderState(D3DRS_SRCBLEND, c.src);
        dev->SetRenderState(D3DRS_DESTBLEND, c.dst);
        ClearTo(c.dest);
        ASSERT_EQ(Quad(0, 0, 10, 10, c.source), D3D_OK);
        EXPECT_TRUE(Near(Pixel(5, 5), c.expected, 2)) << "src " << c.src << " dst " << c.dst;
    }
}

TEST_F(Raster, DestAlphaIsStoredInATargetTextureWithAlpha) {
    IDirect3DTexture8* target = nullptr;
    ASSERT_EQ(dev->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target), D3D_OK);
    IDirect3DSurface8 *surface = nullptr, *back = nullptr, *depth = nullptr;
    ASSERT_EQ(target->GetSurfaceLevel(0, &surface), D3D_OK);
    ASSERT_EQ(dev->GetRenderTarget(&back), D3D_OK);
    ASSERT_EQ(dev->GetDepthStencilSurface(&depth), D3D_OK);
    ASSERT_EQ(dev->SetRenderTarget(surface, nullptr), D3D_OK);
    dev->SetRenderState(D3DRS_ZENABLE, FALSE);
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_DESTALPHA);
    dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    ASSERT_EQ(dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0x40000000, 1.0f, 0), D3D_OK);
    ASSERT_EQ(Quad(0, 0, 16, 16, 0xffffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(8, 8), 0xff404040, 2));
    // Back on the back buffer the same states read its alpha as 1 again.
    ASSERT_EQ(dev->SetRenderTarget(back, depth), D3D_OK);
    ASSERT_EQ(dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0x40000000, 1.0f, 0), D3D_OK);
    ASSERT_EQ(Quad(0, 0, 16, 16, 0xffffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(8, 8), 0xffffffff, 2));
    surface->Release();
    back->Release();
    depth->Release();
    EXPECT_EQ(target->Release(), 0u);
}

TEST_F(Raster, AlphaTestComparesEightBitAlphaWithTheReference) {
    dev->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    dev->SetRenderState(D3DRS_ALPHAREF, 8);
    dev->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    ClearTo(0xff000000);
    ASSERT_EQ(Quad(0, 0, 10, 10, 0x07ffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(5, 5), 0xff000000));
    ASSERT_EQ(Quad(0, 0, 10, 10, 0x08ffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(5, 5), 0xffffffff));
    dev->SetRenderState(D3DRS_ALPHAREF, 0);
    dev->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    ClearTo(0xff000000);
    ASSERT_EQ(Quad(0, 0, 10, 10, 0x00ffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(5, 5), 0xff000000));
    dev->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    ASSERT_EQ(Quad(0, 0, 10, 10, 0x00ffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(5, 5), 0x00ffffff));
}

TEST_F(Raster, WireframeDrawsOnlyEdges) {
    ClearTo(0xff000000);
    dev->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    ASSERT_EQ(Quad(10, 10, 60, 60, 0xffffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(30, 10), 0xffffffff));
    EXPECT_TRUE(Near(Pixel(20, 45), 0xff000000));
}

}  // namespace
}  // namespace d3d8test
