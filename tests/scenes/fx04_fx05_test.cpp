// fx04 and fx05: the music and time arithmetic of their passes, and the random numbers their
// inits draw (every later scene init continues the same sequence).
#include "core/carried_state.h"
#include "core/crt_rand.h"
#include "fx/grid.h"
#include "fx/stripes.h"
#include "render/camera.h"
#include "render/image_quad.h"
#include "render/render_fixture.h"
#include "scenes/fx04_math.h"
#include "scenes/fx05_math.h"
#include "scenes/scenes.h"

#include <vector>

namespace crt = velunar::crt;

namespace {

int Alpha(std::uint32_t colour) { return static_cast<int>(colour >> 24); }

TEST(Fx04Arithmetic, BandAndFoilFollowTheMusicUnclamped) {
    // Silence is checked on the device below.
    EXPECT_EQ(Fx04BandAlpha(0.5f), 230);
    EXPECT_FLOAT_EQ(Fx04FoilColour(0.5f), 1.2f);
    // From 0.5743 the value passes 255 and the quad keeps its low byte: faint again.
    EXPECT_EQ(Fx04BandAlpha(0.5742f), 255);
    EXPECT_EQ(Fx04BandAlpha(0.5743f), 256);
    EXPECT_EQ(Fx04BandAlpha(0.6f) & 0xFF, 9);
}

TEST(Fx05Arithmetic, WavesTravelTenIndicesASecondUpTo166) {
    EXPECT_EQ(Fx05WaveColour(0.0f, 0), 0x00FFFFFFu);
    EXPECT_EQ(Fx05WaveColour(0.0f, 5), 0xA6FFFFFFu);
    // Half a second later the two have swapped.
    EXPECT_EQ(Alpha(Fx05WaveColour(500.0f, 0)), 166);
    EXPECT_EQ(Alpha(Fx05WaveColour(500.0f, 5)), 0);
    // The pattern repeats every ten indices.
    EXPECT_EQ(Fx05WaveColour(1234.0f, 3), Fx05WaveColour(1234.0f, 13));
    int highest = 0;
    for (float ms = 0.0f; ms < 5000.0f; ms += 7.0f)
        for (int i = 0; i < 52; ++i) highest = std::max(highest, Alpha(Fx05WaveColour(ms, i)));
    EXPECT_EQ(highest, 166);
}

// How many numbers an init drew: the position of the next one in the fixed sequence.
int DrawsMadeBy(void (*init)()) {
    crt::srand(1);
    std::vector<int> sequence;
    for (int i = 0; i < 4000; ++i) sequence.push_back(crt::rand());
    crt::srand(1);
    init();
    const int next = crt::rand(), after = crt::rand();
    for (size_t i = 0; i + 1 < sequence.size(); ++i)
        if (sequence[i] == next && sequence[i + 1] == after) return static_cast<int>(i);
    return -1;
}

class SceneInitDraws : public RenderTest {};

TEST_F(SceneInitDraws, EachInitDrawsThreeHundredPointsAndNinetyStripes) {
    // 100 points of three draws, then 90 stripes of six.
    EXPECT_EQ(DrawsMadeBy(InitFx04), 840);
    EXPECT_EQ(DrawsMadeBy(InitFx05), 840);
}

// The scenes drawn on the headless device in silence (the sound library is not started, so there
// is no spectrum) and without their picture files.
class SceneInSilence : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        g_pFx1 = new fx;
        ASSERT_TRUE(g_pFx1->Init(m_pRender, 800, 400, 16));
        g_pCamera = new Camera;
        m_pRender->SetCamera(g_pCamera);
    }
    void TearDown() override {
        delete g_pFx1;
        g_pFx1 = nullptr;
        delete g_pCamera;
        g_pCamera = nullptr;
        RenderTest::TearDown();
    }

    // The quad's opacity as it stands: drawn in its own white diffuse colour over black.
    int QuadAlpha(CImageQuad& quad) {
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        m_pDevice->SetTexture(0, nullptr);
        m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        m_pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
        m_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        m_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
        m_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        quad.Render(m_pDevice);
        return Channel(At(ReadBack(), 400, 300), 8);
    }
};

TEST_F(SceneInSilence, Fx04BandAtItsFaintestFoilDimStripesPulsing) {
    InitFx04();
    RenderFx04(70.0f);
    // The stripes' alpha is 0 at 70 s.
    for (unsigned i = 0; i < Fx04Stripes().Count(); ++i) EXPECT_EQ(Fx04Stripes().Stripes()[i].colour, 0x00FFFFFFu);
    D3DMATERIAL8 m{};
    m_pDevice->GetMaterial(&m);
    EXPECT_FLOAT_EQ(m.Diffuse.r, 0.2f);
    EXPECT_FLOAT_EQ(m.Diffuse.a, 0.05f);
    EXPECT_NEAR(QuadAlpha(Fx04Band()), 55, 1);
    RenderFx04(71.667f);
    EXPECT_GE(static_cast<int>(Fx04Stripes().Stripes()[0].colour >> 24), 127);
}

// What a jump puts back: the stripes as fx04's init left them, their start not yet latched.
TEST_F(SceneInSilence, Fx04StripesBackAsStartUpLeftThem) {
    InitFx04();
    const std::vector<CPaski::Stripe> built(Fx04Stripes().Stripes(), Fx04Stripes().Stripes() + Fx04Stripes().Count());
    KeepStartUpState();
    for (float t = 70.0f; t < 71.0f; t += 0.25f) RenderFx04(t);
    EXPECT_EQ(Fx04Stripes().StartTime(), 70.0f);
    RestoreStartUpState();
    EXPECT_EQ(Fx04Stripes().StartTime(), 0.0f);
    for (unsigned i = 0; i < Fx04Stripes().Count(); ++i) {
        EXPECT_EQ(Fx04Stripes().Stripes()[i].x, built[i].x) << i;
        EXPECT_EQ(Fx04Stripes().Stripes()[i].colour, built[i].colour) << i;
    }
}

TEST_F(SceneInSilence, Fx05BandAlwaysAt88) {
    InitFx05();
    for (float t : {105.5f, 107.0f, 109.0f}) {
        RenderFx05(t);
        EXPECT_NEAR(QuadAlpha(Fx05Band()), 88, 1) << t;
    }
    D3DMATERIAL8 m{};
    m_pDevice->GetMaterial(&m);
    EXPECT_FLOAT_EQ(m.Diffuse.a, 0.1f);
}

}  // namespace
