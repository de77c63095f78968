// CImageQuad (viewport edges, texture coordinates, opacity, restored states) and
// CTextureRenderer (drawing into a texture and back to the screen).
#include "render/image_quad.h"
#include "render/render_fixture.h"
#include "render/texture_renderer.h"

namespace {

// Quadrants of a 64 x 64 texture: red, green / blue, white.
std::uint32_t Quadrant(int x, int y) {
    if (y < 32) return x < 32 ? 0xffff0000u : 0xff00ff00u;
    return x < 32 ? 0xff0000ffu : 0xffffffffu;
}

}  // namespace

class QuadTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        if (HasFatalFailure()) return;
        m_pQuadrants = MakeTexture(64, 64, Quadrant);
        ASSERT_NE(m_pQuadrants, nullptr);
        m_pRender->m_dwClearColor = 0;
        ASSERT_TRUE(m_pRender->BeginScene(2));
        m_pRender->SetTextureMode(TM_ALPHABLEND, 0);
        m_pRender->SetTexturePtr(m_pQuadrants, 0);
        // The quad's opacity is its diffuse alpha.
        m_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        m_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        m_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        m_pDevice->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
        m_pDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
    }
    void TearDown() override {
        if (m_pRender) {
            m_pRender->EndScene();
            m_pRender->SetTexturePtr(nullptr, 0);
        }
        if (m_pQuadrants) m_pQuadrants->Release();
        RenderTest::TearDown();
    }
    IDirect3DTexture8* m_pQuadrants = nullptr;
};

TEST_F(QuadTest, FreshQuadIsInvisibleUntilGivenOpacity) {
    CImageQuad quad(m_pDevice, -1, -1, -1, -1);
    ASSERT_TRUE(quad.HasBuffer());
    EXPECT_EQ(quad.Render(m_pDevice), 1);
    EXPECT_EQ(At(ReadBack(), 100, 100), 0u);

    // Viewport edges: the whole 800 x 600 back buffer.
    EXPECT_EQ(quad.SetAlpha(255), 1);
    quad.Render(m_pDevice);
    const auto px = ReadBack();
    EXPECT_EQ(At(px, 0, 0), 0xff0000u);
    EXPECT_EQ(At(px, 799, 0), 0x00ff00u);
    EXPECT_EQ(At(px, 0, 599), 0x0000ffu);
    EXPECT_EQ(At(px, 799, 599), 0xffffffu);
}

TEST_F(QuadTest, TextureCoordinatesPickTheTopLeftQuarter) {
    CImageQuad quad(m_pDevice, 0, 0, 256, 256);
    quad.SetAlpha(255);
    EXPECT_EQ(quad.SetUV(0.0f, 0.0f, 0.5f, 0.5f), 1);
    quad.Render(m_pDevice);
    const auto px = ReadBack();
    for (int p : {2, 64, 128, 200, 250}) EXPECT_EQ(At(px, p, p), 0xff0000u) << p;
    EXPECT_EQ(At(px, 260, 10), 0u);
    EXPECT_EQ(At(px, 10, 260), 0u);
}

TEST_F(QuadTest, HalfOpacityBlendsWithTheBackground) {
    CImageQuad quad(m_pDevice, 0, 100, 800, 500);
    quad.SetAlpha(128);
    quad.SetUV(0.75f, 0.75f, 1.0f, 1.0f);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    quad.Render(m_pDevice);
    const auto px = ReadBack();
    const int r = Channel(At(px, 400, 300), 16);
    EXPECT_NEAR(r, 128, 1);
    EXPECT_EQ(At(px, 400, 99), 0u);
    EXPECT_EQ(At(px, 400, 500), 0u);
    EXPECT_EQ(RS(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CW));
    EXPECT_EQ(RS(D3DRS_ZENABLE), static_cast<DWORD>(TRUE));
}

TEST_F(QuadTest, RenderTargetTextureIsDrawnIntoAndThenUsed) {
    CTextureRenderer target(m_pDevice, 1, 256, 256, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
    ASSERT_NE(target.GetTexture(), nullptr);
    IDirect3DSurface8* screen = nullptr;
    m_pDevice->GetRenderTarget(&screen);

    ASSERT_EQ(target.BeginRender(m_pDevice), 1);
    EXPECT_EQ(target.BeginRender(m_pDevice), 1);
    EXPECT_TRUE(target.IsActive());
    D3DVIEWPORT8 vp{};
    m_pDevice->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 256u);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xff00ffffu, 1.0f, 0);
    m_pDevice->BeginScene();
    {
        // The top-left quarter of the target in red.
        m_pRender->SetTexturePtr(m_pQuadrants, 0);
        CImageQuad q(m_pDevice, 0, 0, 128, 128);
        q.SetAlpha(255);
        q.SetUV(0.0f, 0.0f, 0.25f, 0.25f);
        q.Render(m_pDevice);
    }
    m_pDevice->EndScene();
    ASSERT_EQ(target.EndRender(m_pDevice), 1);
    EXPECT_FALSE(target.IsActive());
    EXPECT_EQ(target.EndRender(m_pDevice), 1);

    IDirect3DSurface8* now = nullptr;
    m_pDevice->GetRenderTarget(&now);
    EXPECT_EQ(now, screen);
    if (now) now->Release();
    if (screen) screen->Release();

    m_pRender->SetTexturePtr(target.GetTexture(), 0);
    CImageQuad quad(m_pDevice, 0, 0, 256, 256);
    quad.SetAlpha(255);
    quad.Render(m_pDevice);
    const auto px = ReadBack();
    EXPECT_EQ(At(px, 10, 10), 0xff0000u);
    EXPECT_EQ(At(px, 200, 10), 0x00ffffu);
    EXPECT_EQ(At(px, 200, 200), 0x00ffffu);
    EXPECT_EQ(At(px, 300, 10), 0u);
}

TEST_F(QuadTest, RenderTargetWithoutDepthBindsNone) {
    CTextureRenderer target(m_pDevice, 0, 64, 64, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
    ASSERT_EQ(target.BeginRender(m_pDevice), 1);
    IDirect3DSurface8* depth = nullptr;
    m_pDevice->GetDepthStencilSurface(&depth);
    EXPECT_EQ(depth, nullptr);
    if (depth) depth->Release();
    ASSERT_EQ(target.EndRender(m_pDevice), 1);
    m_pDevice->GetDepthStencilSurface(&depth);
    EXPECT_NE(depth, nullptr);
    if (depth) depth->Release();
}

TEST(TextureRendererNoDevice, IsUnusableButSafe) {
    CTextureRenderer target(nullptr, 1, 256, 256, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
    EXPECT_EQ(target.GetTexture(), nullptr);
    EXPECT_EQ(target.BeginRender(nullptr), 0);
    EXPECT_EQ(target.EndRender(nullptr), 1);
}
