// The fixed-function pipeline: texture stages, lighting and normals, texture coordinate
// generation, WRAP0, point sprites and sampling.
#include <cmath>

#include "d3d8_fixture.h"
#include "platform/d3d8/d3d8_device.h"

namespace d3d8test {
namespace {

using Pipeline = DeviceTest;

TEST_F(Pipeline, TextureOpTable) {
    IDirect3DTexture8* tex = MakeTexture(4, 4, [](UINT, UINT) { return 0x9900ff00u; });
    dev->SetTexture(0, tex);
    dev->SetRenderState(D3DRS_ZENABLE, FALSE);
    dev->SetRenderState(D3DRS_TEXTUREFACTOR, 0xdd333333);
    dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    dev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    struct Case {
        DWORD op;
        D3DCOLOR expected;
    } cases[] = {{D3DTOP_SELECTARG1, 0x00ff00}, {D3DTOP_SELECTARG2, 0x333333}, {D3DTOP_MODULATE, 0x003300},
                 {D3DTOP_MODULATE2X, 0x006600}, {D3DTOP_MODULATE4X, 0x00cc00}, {D3DTOP_ADD, 0x33ff33},
                 {D3DTOP_SUBTRACT, 0x00cc00}, {D3DTOP_ADDSIGNED, 0x00b200}, {D3DTOP_BLENDFACTORALPHA, 0x07e407}};
    for (const Case& c : cases) {
        dev->SetTextureStageState(0, D3DTSS_COLOROP, c.op);
        ClearTo(0xff000000);
        ASSERT_EQ(TexturedQuad(0, 0, 8, 8, 0x55ff0000), D3D_OK);
        EXPECT_TRUE(Near(Pixel(4, 4), c.expected)) << "op " << c.op;
    }
    // Alpha from the diffuse colour, from the texture, and stage 0's ALPHAOP DISABLE keeping the diffuse.
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    struct AlphaCase {
        DWORD op, arg1;
        int alpha;
    } alphas[] = {{D3DTOP_SELECTARG1, D3DTA_DIFFUSE, 0x55}, {D3DTOP_SELECTARG1, D3DTA_TEXTURE, 0x99},
                  {D3DTOP_DISABLE, D3DTA_TEXTURE, 0x55}, {D3DTOP_SELECTARG1, D3DTA_TFACTOR, 0xdd}};
    for (const AlphaCase& a : alphas) {
        dev->SetTextureStageState(0, D3DTSS_ALPHAOP, a.op);
        dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, a.arg1);
        ClearTo(0xff000000);
        ASSERT_EQ(TexturedQuad(0, 0, 8, 8, 0x55ff0000), D3D_OK);
        EXPECT_NEAR(Channel(Pixel(4, 4), 24), a.alpha, 2) << "alpha op " << a.op << " arg " << a.arg1;
    }
    dev->SetTexture(0, nullptr);
    tex->Release();
}

TEST_F(Pipeline, StageWithoutItsTextureIsDisabled) {
    // Default stage 0: MODULATE(TEXTURE, CURRENT) with nothing bound gives the diffuse colour.
    ClearTo(0xff000000);
    ASSERT_EQ(TexturedQuad(0, 0, 8, 8, 0xff4080c0), D3D_OK);
    EXPECT_TRUE(Near(Pixel(4, 4), 0x4080c0));
    // Stages after a disabled one are off too.
    IDirect3DTexture8* tex = MakeTexture(2, 2, [](UINT, UINT) { return 0xff808080u; });
    dev->SetTexture(1, tex);
    dev->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    dev->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
    ASSERT_EQ(TexturedQuad(0, 0, 8, 8, 0xff4080c0), D3D_OK);
    EXPECT_TRUE(Near(Pixel(4, 4), 0x4080c0));
    // Stage 1 modulating a bound texture with CURRENT.
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    ASSERT_EQ(TexturedQuad(0, 0, 8, 8, 0xff4080c0), D3D_OK);
    EXPECT_TRUE(Near(Pixel(4, 4), 0x204060));
    dev->SetTexture(1, nullptr);
    tex->Release();
}

TEST_F(Pipeline, CreatingATextureLeavesEveryStageBindingAlone) {
    IDirect3DTexture8* grey = MakeTexture(2, 2, [](UINT, UINT) { return 0xff808080u; });
    dev->SetTexture(1, grey);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    dev->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    dev->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
    ClearTo(0xff000000);
    ASSERT_EQ(TexturedQuad(0, 0, 8, 8, 0xffffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(4, 4), 0x808080));
    // Uploads bind textures of their own; the next draw must still see stage 1's.
    IDirect3DTexture8* black = MakeTexture(2, 2, [](UINT, UINT) { return 0xff000000u; });
    ASSERT_EQ(TexturedQuad(0, 0, 8, 8, 0xffffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(4, 4), 0x808080));
    dev->SetTexture(1, nullptr);
    grey->Release();
    black->Release();
}

TEST_F(Pipeline, TextureFormatsAndPointSampling) {
    IDirect3DTexture8* t16 = nullptr;
    ASSERT_EQ(dev->CreateTexture(2, 1, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &t16), D3D_OK);
    D3DLOCKED_RECT lr{};
    ASSERT_EQ(t16->LockRect(0, &lr, nullptr, 0), D3D_OK);
    static_cast<WORD*>(lr.pBits)[0] = 0xff00;  // opaque red
    static_cast<WORD*>(lr.pBits)[1] = 0x80f0;  // half-transparent green
    t16->UnlockRect(0);
    dev->SetTexture(0, t16);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    ClearTo(0xff000000);
    // Texels map to pixels one to one when the quad's corners sit on pixel corners (x - 0.5).
    ASSERT_EQ(TexturedQuad(-0.5f, -0.5f, 1.5f, 0.5f, 0xffffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(0, 0), 0xffff0000, 3, true));
    EXPECT_TRUE(Near(Pixel(1, 0), 0x8800ff00, 3, true));

    IDirect3DTexture8* tx = nullptr;
    ASSERT_EQ(dev->CreateTexture(1, 1, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &tx), D3D_OK);
    ASSERT_EQ(tx->LockRect(0, &lr, nullptr, 0), D3D_OK);
    *static_cast<DWORD*>(lr.pBits) = 0x00123456;  // X8: the alpha byte is ignored
    tx->UnlockRect(0);
    dev->SetTexture(0, tx);
    ASSERT_EQ(TexturedQuad(0, 0, 4, 4, 0xffffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(2, 2), 0xff123456, 1, true));
    dev->SetTexture(0, nullptr);
    t16->Release();
    tx->Release();
}

TEST_F(Pipeline, AddressingAndFilters) {
    // Two texels: red then green.
    IDirect3DTexture8* tex = MakeTexture(2, 1, [](UINT x, UINT) { return x == 0 ? 0xffff0000u : 0xff00ff00u; });
    dev->SetTexture(0, tex);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    ClearTo(0xff000000);
    // u 1.0 ... 2.0 across 20 pixels: WRAP repeats the texture, CLAMP holds the last texel.
    ASSERT_EQ(TexturedQuad(0, 0, 20, 4, 0xffffffff, 1.0f, 0.0f, 2.0f, 1.0f), D3D_OK);
    EXPECT_TRUE(Near(Pixel(2, 2), 0xffff0000));
    dev->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
    ASSERT_EQ(TexturedQuad(0, 0, 20, 4, 0xffffffff, 1.0f, 0.0f, 2.0f, 1.0f), D3D_OK);
    EXPECT_TRUE(Near(Pixel(2, 2), 0xff00ff00));
    // Magnified 2 texels over 100 pixels: POINT keeps hard halves, LINEAR blends in the middle.
    ASSERT_EQ(TexturedQuad(0, 10, 100, 14, 0xffffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(49, 12), 0xffff0000));
    EXPECT_TRUE(Near(Pixel(51, 12), 0xff00ff00));
    dev->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    ASSERT_EQ(TexturedQuad(0, 10, 100, 14, 0xffffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(50, 12), 0xff808000, 4));
    dev->SetTexture(0, nullptr);
    tex->Release();
}

TEST_F(Pipeline, MipFilterNoneSamplesOnlyTheTopLevel) {
    IDirect3DTexture8* tex = nullptr;
    ASSERT_EQ(dev->CreateTexture(4, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex), D3D_OK);
    ASSERT_EQ(tex->GetLevelCount(), 3u);
    for (UINT level = 0; level < 3; ++level) {
        D3DLOCKED_RECT lr{};
        D3DSURFACE_DESC d{};
        tex->GetLevelDesc(level, &d);
        tex->LockRect(level, &lr, nullptr, 0);
        for (UINT i = 0; i < d.Width * d.Height; ++i) static_cast<DWORD*>(lr.pBits)[i] = level == 0 ? 0xffffffff : 0xff0000ff;
        tex->UnlockRect(level);
    }
    dev->SetTexture(0, tex);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    dev->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    ClearTo(0xff000000);
    ASSERT_EQ(TexturedQuad(0, 0, 1, 1, 0xffffffff), D3D_OK);  // minified 4:1
    EXPECT_TRUE(Near(Pixel(0, 0), 0xffffffff));
    dev->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_POINT);
    ASSERT_EQ(TexturedQuad(0, 0, 1, 1, 0xffffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(0, 0), 0xff0000ff));
    dev->SetTexture(0, nullptr);
    tex->Release();
}

class Lighting : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        D3DLIGHT8 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {1, 1, 1, 0};
        light.Direction = {0, 0, 1};  // travelling into the screen, towards +z
        dev->SetLight(0, &light);
        dev->LightEnable(0, TRUE);
        D3DMATERIAL8 m{};
        m.Diffuse = m.Ambient = {1, 1, 1, 0.5f};
        dev->SetMaterial(&m);
        dev->SetRenderState(D3DRS_ZENABLE, FALSE);
        dev->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    }

    // A quad at z 0.5 covering the centre of the screen, its normals (0, 0, nz).
    void MeshQuad(float nz) {
        MeshVertex v[4] = {{-0.5f, 0.5f, 0.5f, 0, 0, nz, 0, 0}, {0.5f, 0.5f, 0.5f, 0, 0, nz, 1, 0},
                           {-0.5f, -0.5f, 0.5f, 0, 0, nz, 0, 1}, {0.5f, -0.5f, 0.5f, 0, 0, nz, 1, 1}};
        dev->SetVertexShader(kMeshFvf);
        ASSERT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(MeshVertex)), D3D_OK);
    }
};

TEST_F(Lighting, DirectionalLightOnTheMaterial) {
    ClearTo(0xff000000);
    MeshQuad(-1.0f);
    EXPECT_TRUE(Near(Pixel(400, 300), 0x80ffffff, 3, true));
    MeshQuad(1.0f);  // facing away
    EXPECT_TRUE(Near(Pixel(400, 300), 0x80000000, 3, true));
    dev->SetRenderState(D3DRS_LIGHTING, FALSE);  // unlit, no vertex colour: white
    MeshQuad(1.0f);
    EXPECT_TRUE(Near(Pixel(400, 300), 0xffffffff, 3, true));
}

TEST_F(Lighting, ScaledWorldLeavesNormalsUnnormalised) {
    D3DMATRIX s = Identity();
    s._11 = s._22 = s._33 = 2.0f;  // normals come out half as long: half as bright
    dev->SetTransform(D3DTS_WORLD, &s);
    ClearTo(0xff000000);
    MeshQuad(-1.0f);
    EXPECT_TRUE(Near(Pixel(400, 300), 0x808080, 2));
    s._11 = s._22 = s._33 = 0.5f;  // twice as long, clamped
    dev->SetTransform(D3DTS_WORLD, &s);
    MeshQuad(-0.5f);
    EXPECT_TRUE(Near(Pixel(400, 300), 0xffffff, 2));
}

TEST_F(Lighting, VertexColourIsTheDiffuseSourceAndNoNormalGivesBlack) {
    ColorVertex v[4] = {{-0.5f, 0.5f, 0.5f, 0x80ff8040}, {0.5f, 0.5f, 0.5f, 0x80ff8040},
                        {-0.5f, -0.5f, 0.5f, 0x80ff8040}, {0.5f, -0.5f, 0.5f, 0x80ff8040}};
    dev->SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    ClearTo(0xffffffff);
    ASSERT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(ColorVertex)), D3D_OK);
    EXPECT_TRUE(Near(Pixel(400, 300), 0x80000000, 2, true));
    dev->SetRenderState(D3DRS_LIGHTING, FALSE);
    ASSERT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(ColorVertex)), D3D_OK);
    EXPECT_TRUE(Near(Pixel(400, 300), 0x80ff8040, 2, true));

    struct NormalColorVertex {
        float x, y, z, nx, ny, nz;
        D3DCOLOR c;
    } n[3] = {{-0.5f, 0.5f, 0.5f, 0, 0, -1, 0xff00ff00}, {0.5f, 0.5f, 0.5f, 0, 0, -1, 0xff00ff00},
              {-0.5f, -0.5f, 0.5f, 0, 0, -1, 0xff00ff00}};
    dev->SetRenderState(D3DRS_LIGHTING, TRUE);
    dev->SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE);
    ASSERT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, n, sizeof(NormalColorVertex)), D3D_OK);
    EXPECT_TRUE(Near(Pixel(300, 200), 0xff00ff00, 2, true));
}

TEST_F(Lighting, SphereMapCoordinatesThroughTheTextureTransform) {
    // Quadrants: top-left red, top-right green, bottom-left blue, bottom-right white.
    IDirect3DTexture8* tex = MakeTexture(2, 2, [](UINT x, UINT y) {
        static const D3DCOLOR q[2][2] = {{0xffff0000, 0xff00ff00}, {0xff0000ff, 0xffffffff}};
        return q[y][x];
    });
    dev->SetTexture(0, tex);
    dev->SetRenderState(D3DRS_LIGHTING, FALSE);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    dev->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACENORMAL);
    dev->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    // u = 0.5 + 0.5 nx, v = 0.5 - 0.5 ny: (nx, ny, nz, 1) times this matrix.
    D3DMATRIX t{};
    t._11 = 0.5f, t._22 = -0.5f, t._41 = 0.5f, t._42 = 0.5f;
    dev->SetTransform(D3DTS_TEXTURE0, &t);
    struct Case {
        float nx, ny;
        D3DCOLOR expected;
    } cases[] = {{-0.5f, 0.5f, 0xffff0000}, {0.5f, 0.5f, 0xff00ff00}, {-0.5f, -0.5f, 0xff0000ff}, {0.5f, -0.5f, 0xffffffff}};
    for (const Case& c : cases) {
        MeshVertex v[3] = {{-0.5f, 0.5f, 0.5f, c.nx, c.ny, -0.7f, 0, 0}, {0.5f, 0.5f, 0.5f, c.nx, c.ny, -0.7f, 0, 0},
                           {-0.5f, -0.5f, 0.5f, c.nx, c.ny, -0.7f, 0, 0}};
        dev->SetVertexShader(kMeshFvf);
        ClearTo(0xff000000);
        ASSERT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(MeshVertex)), D3D_OK);
        EXPECT_TRUE(Near(Pixel(300, 200), c.expected)) << c.nx << ", " << c.ny;
    }
    // A world scale of 4 shrinks the normals, and so the coordinates, towards the centre of the map.
    D3DMATRIX s = Identity();
    s._11 = s._22 = s._33 = 4.0f;
    dev->SetTransform(D3DTS_WORLD, &s);
    MeshVertex v[3] = {{-0.1f, 0.1f, 0.1f, 0.9f, 0.9f, -0.1f, 0, 0}, {0.1f, 0.1f, 0.1f, 0.9f, 0.9f, -0.1f, 0, 0},
                       {-0.1f, -0.1f, 0.1f, 0.9f, 0.9f, -0.1f, 0, 0}};
    ClearTo(0xff000000);
    dev->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    ASSERT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(MeshVertex)), D3D_OK);
    // u = 0.5 + 0.5 * 0.225 = 0.6125: between red/green columns, not the pure green of an unscaled normal.
    D3DCOLOR p = Pixel(360, 280);
    EXPECT_GT(Channel(p, 16), 0x20);
    EXPECT_GT(Channel(p, 8), 0x20);

    // Texture generation off again: the vertex's own coordinates.
    const D3DMATRIX id = Identity();
    dev->SetTransform(D3DTS_WORLD, &id);
    dev->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
    dev->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    dev->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    MeshVertex w[3] = {{-0.5f, 0.5f, 0.5f, 0, 0, -1, 0.9f, 0.9f}, {0.5f, 0.5f, 0.5f, 0, 0, -1, 0.9f, 0.9f},
                       {-0.5f, -0.5f, 0.5f, 0, 0, -1, 0.9f, 0.9f}};
    ASSERT_EQ(dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, w, sizeof(MeshVertex)), D3D_OK);
    EXPECT_TRUE(Near(Pixel(300, 200), 0xffffffff));
    dev->SetTexture(0, nullptr);
    tex->Release();
}

TEST_F(Pipeline, Wrap0TakesTheShorterWayAcrossTheSeam) {
    // Four columns: u 0-0.25 red, 0.25-0.5 green, 0.5-0.75 blue, 0.75-1 white.
    IDirect3DTexture8* tex = MakeTexture(4, 1, [](UINT x, UINT) {
        static const D3DCOLOR c[4] = {0xffff0000, 0xff00ff00, 0xff0000ff, 0xffffffff};
        return c[x];
    });
    dev->SetTexture(0, tex);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    // From u 0.8 on the left to u 0.1 on the right: the middle is at 0.95 (white) the short way
    // round, at 0.45 (green) straight back across the texture.
    ClearTo(0xff000000);
    ASSERT_EQ(TexturedQuad(0, 0, 100, 10, 0xffffffff, 0.8f, 0.0f, 0.1f, 1.0f), D3D_OK);
    EXPECT_TRUE(Near(Pixel(50, 5), 0xff00ff00));
    ASSERT_EQ(TexturedQuad(0, 20, 100, 30, 0xffffffff, 0.3f, 0.0f, 0.7f, 1.0f), D3D_OK);
    const std::vector<D3DCOLOR> plain = ReadTarget();
    auto programs = [&] { return static_cast<velunar::d3d8::Device*>(dev)->ProgramCount(); };
    const size_t before = programs();
    dev->SetRenderState(D3DRS_WRAP0, D3DWRAP_U);
    // No coordinate half a unit from another: the program without the wrap, the very same pixels.
    ASSERT_EQ(TexturedQuad(0, 20, 100, 30, 0xffffffff, 0.3f, 0.0f, 0.7f, 1.0f), D3D_OK);
    EXPECT_EQ(programs(), before);
    EXPECT_TRUE(ReadTarget() == plain);
    ASSERT_EQ(TexturedQuad(0, 0, 100, 10, 0xffffffff, 0.8f, 0.0f, 0.1f, 1.0f), D3D_OK);
    EXPECT_TRUE(Near(Pixel(50, 5), 0xffffffff));
    EXPECT_TRUE(Near(Pixel(95, 5), 0xffff0000));
    EXPECT_EQ(programs(), before + 1);
    // WRAP0 with only V wrapping leaves u alone.
    dev->SetRenderState(D3DRS_WRAP0, D3DWRAP_V);
    ASSERT_EQ(TexturedQuad(0, 0, 100, 10, 0xffffffff, 0.8f, 0.0f, 0.1f, 1.0f), D3D_OK);
    EXPECT_TRUE(Near(Pixel(50, 5), 0xff00ff00));
    dev->SetTexture(0, nullptr);
    tex->Release();
}

class PointSprites : public DeviceTest {
protected:
    struct PointVertex {  // FVF 0x62
        float x, y, z, size;
        D3DCOLOR c;
    };

    void SetUp() override {
        DeviceTest::SetUp();
        dev->SetRenderState(D3DRS_LIGHTING, FALSE);
        dev->SetRenderState(D3DRS_ZENABLE, FALSE);
        dev->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
        dev->SetVertexShader(D3DFVF_XYZ | D3DFVF_PSIZE | D3DFVF_DIFFUSE);
    }

    // Width in pixels of the point drawn at the centre of the screen, along row 300.
    int DrawnWidth(float size, float z = 0.5f) {
        ClearTo(0xff000000);
        PointVertex p{0, 0, z, size, 0xffffffff};
        EXPECT_EQ(dev->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &p, sizeof p), D3D_OK);
        std::vector<D3DCOLOR> px = ReadTarget();
        int n = 0;
        for (int x = 0; x < 800; ++x) n += (px[300 * 800 + x] & 0xffffff) != 0;
        return n;
    }

    static DWORD F(float f) {
        DWORD d;
        std::memcpy(&d, &f, sizeof d);
        return d;
    }
};

TEST_F(PointSprites, SizesAndClamps) {
    EXPECT_EQ(DrawnWidth(1), 1);
    EXPECT_EQ(DrawnWidth(15), 15);
    EXPECT_EQ(DrawnWidth(31), 31);
    EXPECT_EQ(DrawnWidth(100), 64);  // POINTSIZE_MAX's default, 64
    dev->SetRenderState(D3DRS_POINTSIZE_MIN, F(9));
    EXPECT_EQ(DrawnWidth(1), 9);
    dev->SetRenderState(D3DRS_POINTSIZE_MAX, F(20));
    EXPECT_EQ(DrawnWidth(31), 20);
    dev->SetRenderState(D3DRS_POINTSIZE_MAX, F(500));  // never above 64
    EXPECT_EQ(DrawnWidth(100), 64);
}

TEST_F(PointSprites, DistanceScaling) {
    dev->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
    dev->SetRenderState(D3DRS_POINTSCALE_A, F(0));
    dev->SetRenderState(D3DRS_POINTSCALE_B, F(1));
    dev->SetRenderState(D3DRS_POINTSCALE_C, F(0));
    // Eye distance 4: 600 x 0.04 x sqrt(1 / 4) = 12 pixels; at distance 0.25, 48.
    D3DMATRIX view = Identity();
    view._43 = 4.0f;
    dev->SetTransform(D3DTS_VIEW, &view);
    D3DMATRIX proj = Identity();
    proj._33 = 0.1f;  // keep z inside the clip volume
    dev->SetTransform(D3DTS_PROJECTION, &proj);
    EXPECT_EQ(DrawnWidth(0.04f, 0.0f), 12);
    view._43 = 0.25f;
    dev->SetTransform(D3DTS_VIEW, &view);
    EXPECT_EQ(DrawnWidth(0.04f, 0.0f), 48);
}

TEST_F(PointSprites, TextureRunsFromTopLeftToBottomRight) {
    IDirect3DTexture8* tex = MakeTexture(2, 2, [](UINT x, UINT y) {
        static const D3DCOLOR q[2][2] = {{0xffff0000, 0xff00ff00}, {0xff0000ff, 0xffffffff}};
        return q[y][x];
    });
    dev->SetTexture(0, tex);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    ClearTo(0xff000000);
    PointVertex p{0, 0, 0.5f, 32, 0xffffffff};
    ASSERT_EQ(dev->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &p, sizeof p), D3D_OK);
    EXPECT_TRUE(Near(Pixel(390, 290), 0xffff0000));
    EXPECT_TRUE(Near(Pixel(410, 290), 0xff00ff00));
    EXPECT_TRUE(Near(Pixel(390, 310), 0xff0000ff));
    EXPECT_TRUE(Near(Pixel(410, 310), 0xffffffff));
    dev->SetTexture(0, nullptr);
    tex->Release();
}

}  // namespace
}  // namespace d3d8test
