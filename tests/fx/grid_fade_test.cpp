// The grid object and the fades on the headless device.
#include "fx/fades.h"
#include "fx/grid.h"
#include "render/render_fixture.h"

namespace {

class GridTest : public RenderTest {};

TEST_F(GridTest, StartUpGridLayout) {
    fx grid;
    ASSERT_TRUE(grid.Init(m_pRender, 800, 400, 16));
    EXPECT_EQ(grid.Columns(), 52u);
    EXPECT_EQ(grid.Rows(), 27u);
    EXPECT_EQ(grid.TriangleCount(), 2652u);
    const FLATVERTEX& first = grid.Live()[0];
    EXPECT_EQ(first.x, 0.0f);
    EXPECT_EQ(first.y, 100.0f);
    EXPECT_EQ(first.z, 0.99f);
    EXPECT_EQ(first.rhw, 1.0f);
    EXPECT_EQ(first.color, 0x00FFFFFFu);
    EXPECT_EQ(first.u, 0.0f);
    const FLATVERTEX& last = grid.Live()[26 * 52 + 51];
    EXPECT_EQ(last.x, 816.0f);
    EXPECT_EQ(last.y, 516.0f);
    EXPECT_FLOAT_EQ(last.u, 51.0f / 52.0f);
    EXPECT_FLOAT_EQ(last.v, 26.0f / 27.0f);
    // The first cell: (a, a+1, b+1) and (a, b+1, b).
    const unsigned short* idx = grid.Indices();
    EXPECT_EQ((std::vector<unsigned short>(idx, idx + 6)), (std::vector<unsigned short>{0, 1, 53, 0, 53, 52}));
}

TEST_F(GridTest, OneShotModesRunOncePerModeChange) {
    fx grid;
    ASSERT_TRUE(grid.Init(m_pRender, 800, 400, 16));
    grid.Update(FX_RADIAL, 0.0f);
    EXPECT_TRUE(grid.BaseReady());
    grid.Base()[0].u = 123.0f;
    grid.Update(FX_RADIAL, 5.0f);
    EXPECT_EQ(grid.Base()[0].u, 123.0f);  // not recomputed
    grid.Update(FX_PLANES, 5.0f);
    EXPECT_FALSE(grid.BaseReady());
    grid.Update(FX_RADIAL, 5.0f);
    EXPECT_NE(grid.Base()[0].u, 123.0f);
    // Unknown modes change the mode and write nothing.
    const FLATVERTEX before = grid.Live()[7];
    grid.Update(11, 1.0f);
    EXPECT_EQ(grid.CurrentMode(), 11);
    EXPECT_FALSE(grid.BaseReady());
    grid.Update(-1, 1.0f);
    EXPECT_EQ(grid.Live()[7].u, before.u);
    EXPECT_EQ(grid.Live()[7].color, before.color);
}

TEST_F(GridTest, AnimateScrollsTheBaseMap) {
    fx grid;
    ASSERT_TRUE(grid.Init(m_pRender, 800, 400, 16));
    grid.Update(FX_TUNNEL, 0.0f);
    grid.Animate(0.0f, false);
    EXPECT_EQ(grid.Live()[100].u, grid.Base()[100].u);
    EXPECT_EQ(grid.Live()[100].color, grid.Base()[100].color);
    grid.speed = 0.1f;
    grid.Animate(10.0f, false);
    EXPECT_NEAR(grid.Live()[100].u - grid.Base()[100].u, 0.003f, 1e-6);
    EXPECT_NEAR(grid.Live()[100].v - grid.Base()[100].v, 0.001f, 1e-6);
    // With every angle 0 the shared rotation is the identity.
    grid.angleOffset = Vector3(0, 0, 0);
    grid.angleRate = Vector3(0, 0, 0);
    grid.Animate(3.0f, true);
    const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    for (int i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(fx::s_rotation.m[i], identity[i]);
}

// A few frames that change every piece of a grid's state: the modes with memory, a one-shot map,
// the tuning and the angles.
void PlayFrames(fx& grid) {
    for (int f = 0; f < 3; ++f) {
        const float ms = 1000.0f + 16.0f * f;
        grid.speed = 0.061f;
        grid.Animate(ms, true);
        grid.Update(FX_SINE_WARP, ms);
        grid.Update(FX_WAVES, ms);
        grid.centreY = 150.0f;
        grid.Update(FX_RADIAL, ms);
        grid.Animate(ms, false);
        grid.angleOffset = Vector3(5.0f, 0.0f, 30.0f);
    }
}

TEST_F(GridTest, RestoredStateReplaysLikeAFreshGrid) {
    fx fresh, played;
    ASSERT_TRUE(fresh.Init(m_pRender, 800, 400, 16));
    ASSERT_TRUE(played.Init(m_pRender, 800, 400, 16));
    const fx::State startUp = played.SaveState();
    PlayFrames(played);
    EXPECT_EQ(played.CurrentMode(), FX_RADIAL);
    played.RestoreState(startUp);
    EXPECT_EQ(played.CurrentMode(), fresh.CurrentMode());
    EXPECT_FALSE(played.BaseReady());
    EXPECT_EQ(played.centreY, 0.0f);

    PlayFrames(fresh);
    PlayFrames(played);
    const auto bytes = [](fx& g) {
        const auto* p = reinterpret_cast<const unsigned char*>(g.Live());
        return std::vector<unsigned char>(p, p + g.VertexCount() * sizeof(FLATVERTEX));
    };
    EXPECT_EQ(bytes(played), bytes(fresh));
}

TEST_F(GridTest, FailedInitLeavesTheCallsHarmless) {
    fx grid;
    EXPECT_FALSE(grid.Init(nullptr, 800, 400, 16));
    EXPECT_TRUE(grid.Update(FX_TUNNEL, 1.0f));
    grid.Animate(1.0f, false);
    EXPECT_FALSE(grid.Render());
}

TEST_F(GridTest, RenderDrawsTheBandOnly) {
    fx grid;
    ASSERT_TRUE(grid.Init(m_pRender, 800, 400, 16));
    m_pRender->m_dwClearColor = 0;
    ASSERT_TRUE(m_pRender->BeginScene(2));
    // White vertices, no texture: the vertex colour alone.
    for (unsigned i = 0; i < grid.VertexCount(); ++i) grid.Live()[i].color = 0xFFFFFFFFu;
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    m_pDevice->SetTexture(0, nullptr);
    EXPECT_TRUE(grid.Render());
    std::vector<std::uint32_t> px = ReadBack();
    ASSERT_EQ(px.size(), 800u * 600u);
    EXPECT_EQ(px[50 * 800 + 400] & 0xFFFFFF, 0u);
    EXPECT_EQ(px[300 * 800 + 400] & 0xFFFFFF, 0xFFFFFFu);
    m_pRender->EndScene();
}

class FadeTest : public RenderTest {};

TEST_F(FadeTest, OpacityArithmetic) {
    EXPECT_FLOAT_EQ(FadeOpacity(1.0f, 1.0f, 2.0f, false), 1.0f);
    EXPECT_EQ(FadeVertexAlpha(FadeOpacity(1.0f, 1.0f, 2.0f, false)), 255);
    EXPECT_FLOAT_EQ(FadeOpacity(1.0f, 1.0f, 2.0f, true), 0.0f);
    EXPECT_LT(FadeOpacity(3.0f, 1.0f, 2.0f, true), 0.0f);   // half-open window
    EXPECT_LT(FadeOpacity(0.99f, 1.0f, 2.0f, true), 0.0f);
    EXPECT_LT(FadeOpacity(5.0f, 5.0f, 0.0f, true), 0.0f);   // duration 0 never draws
    EXPECT_EQ(FadeVertexAlpha(0.999f), 254);
}

TEST_F(FadeTest, HalfWayToWhiteOverBlack) {
    m_pRender->m_dwClearColor = 0;
    ASSERT_TRUE(m_pRender->BeginScene(2));
    // Without the "white" texture the quad draws with whatever is bound; bind none so the
    // vertex colour (white, alpha by the ramp) shows.
    m_pDevice->SetTexture(0, nullptr);
    FadeToWhite(1.5f, 1.0f, 1.0f);
    std::vector<std::uint32_t> px = ReadBack();
    ASSERT_EQ(px.size(), 800u * 600u);
    const int red = Channel(px[300 * 800 + 400], 16);
    EXPECT_NEAR(red, 127, 2);
    m_pRender->EndScene();
}

}  // namespace
