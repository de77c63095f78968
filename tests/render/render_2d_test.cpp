// Screen-space drawing: letterbox bars, sprites (covered rectangle, rotation, flat colour, the
// batch limit) and images through the D3DX sprite.
#include <cstdlib>

#include "core/globals.h"
#include "render/render_fixture.h"
#include "resources/sprite.h"

namespace {

constexpr std::uint32_t kWhite = 0xffffffffu;

bool Near(std::uint32_t a, std::uint32_t b, int tol) {
    for (int s = 0; s < 24; s += 8) {
        if (std::abs(Channel(a, s) - Channel(b, s)) > tol) return false;
    }
    return true;
}

}  // namespace

class Render2DTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        if (HasFatalFailure()) return;
        m_pRender->m_dwClearColor = 0;
        ASSERT_TRUE(m_pRender->BeginScene(2));
        m_pRender->SetTextureMode(TM_ALPHABLEND, 0);
    }
    void TearDown() override {
        if (m_pRender) m_pRender->EndScene();
        RenderTest::TearDown();
    }
    // A sprite of a plain white w x h image, fully opaque.
    CSprite* WhiteSprite(const std::string& name, int w, int h) {
        const std::string file = WriteImage(name + ".png", w, h, [](int, int) { return kWhite; });
        auto* s = new CSprite(file.c_str(), false, name.c_str(), m_pRender->GetTextureManager());
        s->m_fAlpha = 1.0f;
        return s;
    }
};

TEST_F(Render2DTest, LetterboxBarsCoverEverythingRegardlessOfDepth) {
    m_pRender->m_dwClearColor = 0x00ffffff;
    ASSERT_TRUE(m_pRender->BeginScene(0));
    // A depth test that would reject everything must not stop the bars.
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_NEVER);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    EXPECT_TRUE(m_pRender->DrawRect(0, 0, 800, 100, 0.1f, 0xff000000));
    EXPECT_TRUE(m_pRender->DrawRect(0, 500, 800, 600, 0.1f, 0xff000000));
    const auto px = ReadBack();
    for (int x : {0, 399, 799}) {
        EXPECT_EQ(At(px, x, 0), 0u);
        EXPECT_EQ(At(px, x, 99), 0u);
        EXPECT_EQ(At(px, x, 100), 0xffffffu);
        EXPECT_EQ(At(px, x, 499), 0xffffffu);
        EXPECT_EQ(At(px, x, 500), 0u);
        EXPECT_EQ(At(px, x, 599), 0u);
    }
    // The caller's states come back.
    EXPECT_EQ(RS(D3DRS_ZENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(RS(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CW));
    EXPECT_EQ(RS(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_SRCALPHA));
}

TEST_F(Render2DTest, ScaledSpriteCoversItsRectangle) {
    CSprite* s = WhiteSprite("sq128", 128, 128);
    ASSERT_TRUE(s->m_bLoaded);
    s->m_fScale = 3.0f;
    ASSERT_TRUE(m_pRender->Render(348, 376, s));
    EXPECT_EQ(m_pRender->m_nSpriteTris, 2);
    // Queued sprites appear only when flushed.
    EXPECT_EQ(At(ReadBack(), 348, 376), 0u);
    ASSERT_TRUE(m_pRender->FlushSprites());
    EXPECT_EQ(m_pRender->m_nSpriteTris, 0);
    const auto px = ReadBack();
    EXPECT_EQ(At(px, 156, 184), 0xffffffu);
    EXPECT_EQ(At(px, 539, 567), 0xffffffu);
    EXPECT_EQ(At(px, 155, 300), 0u);
    EXPECT_EQ(At(px, 540, 300), 0u);
    EXPECT_EQ(At(px, 300, 183), 0u);
    EXPECT_EQ(At(px, 300, 568), 0u);
    delete s;
}

TEST_F(Render2DTest, RotationTurnsTheSpriteClockwiseAboutItsCentre) {
    // A 64 x 32 image, left half red, right half green.
    const std::string file = WriteImage("halves.png", 64, 32, [](int x, int) {
        return x < 32 ? 0xffff0000u : 0xff00ff00u;
    });
    CSprite s(file.c_str(), false, "halves", m_pRender->GetTextureManager());
    s.m_fAlpha = 1.0f;
    s.m_fRotation = 90.0f;
    m_pDevice->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
    m_pDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
    ASSERT_TRUE(m_pRender->Render(400, 300, &s));
    m_pRender->FlushSprites();
    const auto px = ReadBack();
    // Turned a quarter clockwise: 32 wide, 64 tall, the left half now on top.
    EXPECT_EQ(At(px, 400, 280), 0xff0000u);
    EXPECT_EQ(At(px, 400, 320), 0x00ff00u);
    EXPECT_EQ(At(px, 385, 300 - 31), 0xff0000u);
    EXPECT_EQ(At(px, 420, 300), 0u);
    EXPECT_EQ(At(px, 380, 300), 0u);
}

TEST_F(Render2DTest, FlatSpriteDrawsAtOnceInItsColour) {
    CSprite* s = WhiteSprite("flat", 32, 32);
    s->m_nType = CSprite::kFlat;
    s->m_dwColor = 0xff00ff00u;
    ASSERT_TRUE(m_pRender->Render(100, 200, s));
    EXPECT_EQ(m_pRender->m_nSpriteTris, 0);
    const auto px = ReadBack();
    EXPECT_EQ(At(px, 100, 200), 0x00ff00u);
    EXPECT_EQ(At(px, 84, 184), 0x00ff00u);
    EXPECT_EQ(At(px, 116, 200), 0u);
    delete s;
}

TEST_F(Render2DTest, NullAndUnloadedSpritesAreRefused) {
    EXPECT_FALSE(m_pRender->Render(0, 0, nullptr));
    EXPECT_TRUE(Logged("CRender::Render : Pointer to CSprite was NULL\n"));
    CSprite missing(Path("no_such_file.png").c_str(), false, "missing", m_pRender->GetTextureManager());
    EXPECT_FALSE(m_pRender->Render(0, 0, &missing));
    EXPECT_TRUE(Logged("CRender::Render : Sprite is not loaded\n"));
}

TEST_F(Render2DTest, BatchHolds682SpritesAndRefusesThe683rd) {
    CSprite* s = WhiteSprite("dot", 2, 2);
    // Sprite k at column k % 40 and row k / 40, 10 pixels apart.
    auto pos = [](int k, float* x, float* y) {
        *x = 5.0f + 10.0f * static_cast<float>(k % 40);
        *y = 5.0f + 10.0f * static_cast<float>(k / 40);
    };
    float x, y;
    for (int k = 0; k < 682; ++k) {
        pos(k, &x, &y);
        ASSERT_TRUE(m_pRender->Render(x, y, s)) << k;
    }
    pos(682, &x, &y);
    EXPECT_FALSE(m_pRender->Render(x, y, s));
    EXPECT_TRUE(Logged("CRender:Render : Sprite vertex buffer overflow!! incerase size!\n"));
    EXPECT_EQ(m_pRender->m_nSpriteTris, 2 * 682);
    m_pRender->FlushSprites();
    const auto px = ReadBack();
    pos(0, &x, &y);
    EXPECT_EQ(At(px, static_cast<int>(x), static_cast<int>(y)), 0xffffffu);
    pos(681, &x, &y);
    EXPECT_EQ(At(px, static_cast<int>(x), static_cast<int>(y)), 0xffffffu);
    pos(682, &x, &y);
    EXPECT_EQ(At(px, static_cast<int>(x), static_cast<int>(y)), 0u);

    // An empty batch draws nothing and leaves every state alone.
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    EXPECT_TRUE(m_pRender->FlushSprites());
    EXPECT_EQ(RS(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CW));
    EXPECT_EQ(RS(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(FALSE));
    delete s;
}

TEST_F(Render2DTest, DrawImagePlacesTexelsOnPixels) {
    auto texel = [](int x, int y) {
        return 0xff000000u | static_cast<std::uint32_t>(x * 16) << 16 | static_cast<std::uint32_t>(y * 16) << 8 | 0x80u;
    };
    const std::string file = WriteImage("ramp16.png", 16, 16, texel);
    ASSERT_TRUE(m_pRender->LoadTexture(file.c_str(), "ramp16"));
    ASSERT_TRUE(m_pRender->SetTexture("ramp16", 0));
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    // Centred on (108, 208): the top-left texel lands on pixel (100, 200).
    EXPECT_TRUE(m_pRender->DrawImage(108, 208, 0.5f, 1.0f, 1.0f, 0.0f, nullptr));
    const auto px = ReadBack();
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            // Full opacity is 254 of 255, so a channel may come out one lower.
            ASSERT_TRUE(Near(At(px, 100 + x, 200 + y), texel(x, y) & 0xffffffu, 1)) << x << "," << y;
        }
    }
    EXPECT_EQ(At(px, 99, 200), 0u);
    EXPECT_EQ(At(px, 116, 215), 0u);
    EXPECT_EQ(RS(D3DRS_ZENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(RS(D3DRS_ZWRITEENABLE), static_cast<DWORD>(TRUE));
}

TEST_F(Render2DTest, DrawImageFadesAndTakesASourceRectangle) {
    const std::string file = WriteImage("white32.png", 32, 32, [](int x, int) {
        return x < 16 ? kWhite : 0xff0000ffu;
    });
    ASSERT_TRUE(m_pRender->LoadTexture(file.c_str(), "white32"));
    ASSERT_TRUE(m_pRender->SetTexture("white32", 0));
    // Alpha 0.5 is 0x7f of white over black.
    m_pRender->DrawImage(100, 100, 0, 0.5f, 1.0f, 0.0f, nullptr);
    const RECT left{0, 0, 16, 32};
    // The left half only, twice the size, centred on (400, 300): 32 x 64 pixels.
    m_pRender->DrawImage(400, 300, 0, 1.0f, 2.0f, 0.0f, &left);
    const auto px = ReadBack();
    EXPECT_TRUE(Near(At(px, 90, 100), 0x7f7f7fu, 1)) << std::hex << At(px, 90, 100);
    EXPECT_TRUE(Near(At(px, 390, 270), 0xffffffu, 1));
    EXPECT_TRUE(Near(At(px, 410, 330), 0xffffffu, 1));
    EXPECT_EQ(At(px, 420, 300), 0u);
    EXPECT_EQ(At(px, 400, 340), 0u);
}
