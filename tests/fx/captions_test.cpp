// Captions: reading the caption file, the start-time latch, the pop, fade and respawn, and what
// reaches the back buffer, on the headless device with the show's large font.
#include "fx/captions.h"

#include <fstream>
#include <string>

#include "core/crt_rand.h"
#include "render/bitmap_font.h"
#include "render/render_fixture.h"

namespace crt = velunar::crt;

namespace {

class CaptionsTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        m_pFont = new BitmapFont("Lucida Console", 32, BitmapFont::kBold);
        ASSERT_EQ(m_pFont->Create(m_pDevice), S_OK);
        ASSERT_EQ(m_pFont->CreateBuffers(), S_OK);
        g_pFontLarge = m_pFont;
    }
    void TearDown() override {
        g_pFontLarge = nullptr;
        delete m_pFont;
        RenderTest::TearDown();
    }

    // A caption file in this process's own folder.
    std::string WriteCaptions(const std::string& text) {
        const std::string path = Path("napisy.ini");
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    // One frame of captions at t on black; the back buffer read back.
    std::vector<std::uint32_t> Frame(Captions& captions, float t) {
        m_pRender->m_dwClearColor = 0;
        m_pRender->BeginScene(2);
        captions.Render(t);
        auto px = ReadBack();
        m_pRender->EndScene();
        return px;
    }
    int Brightest(const std::vector<std::uint32_t>& px) const {
        int m = 0;
        for (std::uint32_t c : px) m = std::max({m, Channel(c, 16), Channel(c, 8), Channel(c, 0)});
        return m;
    }

    BitmapFont* m_pFont = nullptr;
};

TEST_F(CaptionsTest, LinesAreCleanedAndDrawThreeNumbersEachInOrder) {
    const std::string path = WriteCaptions(
        "# a comment\n"
        "\n"
        "; another\n"
        "hello   moon  \n"
        "105 beats\tand more\n");
    crt::srand(7);
    Captions captions(path.c_str());
    ASSERT_EQ(captions.Count(), 2);
    EXPECT_EQ(captions.m_texts[0], "hello moon");
    EXPECT_EQ(captions.m_texts[1], "105 beats\tand more");
    EXPECT_EQ(captions.m_fStartTime, 0.0f);
    crt::srand(7);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(captions.m_afPositions[i][0], static_cast<float>(crt::rand() % 700 + 50)) << i;
        EXPECT_EQ(captions.m_afPositions[i][1], static_cast<float>(crt::rand() % 400 + 125)) << i;
        EXPECT_FLOAT_EQ(captions.m_afAppear[i], static_cast<float>((crt::rand() % 100) * 0.05 + 1)) << i;
        EXPECT_GE(captions.m_afAppear[i], 1.0f);
        EXPECT_LE(captions.m_afAppear[i], 5.95f);
    }
}

TEST_F(CaptionsTest, AtMost128CaptionsAndNoDrawsForTheRest) {
    std::string text;
    for (int i = 0; i < 200; ++i) text += "line " + std::to_string(i) + "\n";
    const std::string path = WriteCaptions(text);
    crt::srand(3);
    Captions captions(path.c_str());
    EXPECT_EQ(captions.Count(), 128);
    EXPECT_EQ(captions.m_texts[127], "line 127");
    const int next = crt::rand();
    crt::srand(3);
    for (int i = 0; i < 128 * 3; ++i) crt::rand();
    EXPECT_EQ(next, crt::rand());
}

TEST_F(CaptionsTest, MissingFileGivesNoCaptionsAndOnlyTheStageStates) {
    Captions captions(Path("no_such_captions.ini").c_str());
    EXPECT_EQ(captions.Count(), 0);
    EXPECT_TRUE(Logged("CIni::Open : cannot open"));
    auto px = Frame(captions, 90.0f);
    EXPECT_EQ(Brightest(px), 0);
    EXPECT_EQ(TSS(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_SELECTARG2));
    EXPECT_EQ(TSS(0, D3DTSS_ALPHAOP), static_cast<DWORD>(D3DTOP_SELECTARG2));
    EXPECT_EQ(TSS(0, D3DTSS_COLORARG1), static_cast<DWORD>(D3DTA_TEXTURE));
}

TEST_F(CaptionsTest, FirstRenderLatchesTheStartAndNothingShowsForASecond) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += "caption " + std::to_string(i) + "\n";
    Captions captions(WriteCaptions(text).c_str());
    float before[Captions::kMaxCaptions];
    std::copy(captions.m_afAppear, captions.m_afAppear + 40, before);

    EXPECT_EQ(Brightest(Frame(captions, 86.9f)), 0);
    EXPECT_EQ(captions.m_fStartTime, 86.9f);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(captions.m_afAppear[i], before[i] + 86.9f) << i;
        EXPECT_GE(captions.m_afAppear[i], 87.9f) << i;
    }
    // Later frames do not add the start again.
    EXPECT_EQ(Brightest(Frame(captions, 87.85f)), 0);
    EXPECT_EQ(captions.m_afAppear[0], before[0] + 86.9f);
    // By 5.95 seconds in every caption has shown.
    EXPECT_GT(Brightest(Frame(captions, 86.9f + 5.95f)), 0);
}

TEST_F(CaptionsTest, AlphaHoldsThenFallsOverTwoSeconds) {
    EXPECT_EQ(CaptionColour(0.0f), 0xC9FFFFFFu);
    EXPECT_EQ(CaptionColour(0.999f), 0xC9FFFFFFu);
    EXPECT_EQ(CaptionColour(1.0f), 0xC8FFFFFFu);
    EXPECT_EQ(CaptionColour(2.0f), 0x64FFFFFFu);
    EXPECT_EQ(CaptionColour(2.999f) >> 24, 0u);
    EXPECT_EQ(CaptionColour(3.0f), 0u);
    EXPECT_EQ(ScreenToViewX(400), 0.0f);
    EXPECT_EQ(ScreenToViewX(0), -1.0f);
    EXPECT_EQ(ScreenToViewX(800), 1.0f);
    EXPECT_EQ(ScreenToViewY(0), -1.0f);
    EXPECT_FLOAT_EQ(ScreenToViewY(600), 1.0f);
}

TEST_F(CaptionsTest, ShowsWhiteTextAroundItsPlaceThenRespawnsAtThreeSeconds) {
    Captions captions(WriteCaptions("MMMM\n").c_str());
    captions.m_fStartTime = 1.0f;  // latched
    captions.m_afPositions[0][0] = 400.0f;
    captions.m_afPositions[0][1] = 300.0f;
    captions.m_afAppear[0] = 90.0f;

    EXPECT_EQ(Brightest(Frame(captions, 89.99f)), 0);
    // At one second old: alpha 200, the text grown to a third of its way.
    auto px = Frame(captions, 91.0f);
    int lit = 0, brightest = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const int g = Channel(At(px, x, y), 8);
            if (g == 0) continue;
            ++lit;
            brightest = std::max(brightest, g);
            // Left of the centre by half the text's width in atlas texels, above it by half a line.
            EXPECT_LT(x, 400) << y;
            EXPECT_GE(y, 270) << x;
            EXPECT_LT(y, 300) << x;
        }
    EXPECT_GT(lit, 200);
    EXPECT_LE(brightest, 201);
    EXPECT_GE(brightest, 190);
    EXPECT_EQ(captions.m_afAppear[0], 90.0f);

    // Exactly three seconds old: not drawn, and back within 2.475 seconds somewhere new.
    EXPECT_EQ(Brightest(Frame(captions, 93.0f)), 0);
    crt::srand(93000);
    const float appear = static_cast<float>(93.0f + (crt::rand() % 100) * 0.025);
    const float x = static_cast<float>(crt::rand() % 700 + 50), y = static_cast<float>(crt::rand() % 400 + 125);
    EXPECT_FLOAT_EQ(captions.m_afAppear[0], appear);
    EXPECT_EQ(captions.m_afPositions[0][0], x);
    EXPECT_EQ(captions.m_afPositions[0][1], y);
    EXPECT_LE(captions.m_afAppear[0], 93.0f + 2.475f + 1e-4f);
}

TEST_F(CaptionsTest, TwoFramesAtOneTimeRespawnIdentically) {
    std::string text;
    for (int i = 0; i < 12; ++i) text += "word " + std::to_string(i) + "\n";
    const std::string path = WriteCaptions(text);
    crt::srand(11);
    Captions a(path.c_str());
    crt::srand(11);
    Captions b(path.c_str());
    Frame(a, 90.0f);
    Frame(b, 90.0f);
    // Whatever else drew random numbers in between, the frame at 96.5 s respawns the same way.
    crt::rand();
    auto pa = Frame(a, 96.5f);
    crt::srand(12345);
    auto pb = Frame(b, 96.5f);
    int respawned = 0;
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(a.m_afAppear[i], b.m_afAppear[i]) << i;
        EXPECT_EQ(a.m_afPositions[i][0], b.m_afPositions[i][0]) << i;
        EXPECT_EQ(a.m_afPositions[i][1], b.m_afPositions[i][1]) << i;
        if (a.m_afAppear[i] >= 96.5f) ++respawned;
    }
    EXPECT_GT(respawned, 0);
    EXPECT_EQ(pa, pb);
}

}  // namespace
