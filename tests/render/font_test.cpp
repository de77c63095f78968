// BitmapFont: atlas sizes, glyph layout, measuring, drawing with restored states and batches.
#include "platform/d3d8/d3d8_ext.h"
#include "platform/gdi/glyph_raster.h"
#include "render/bitmap_font.h"
#include "render/render_fixture.h"

class FontTest : public RenderTest {};

TEST_F(FontTest, AtlasSideFollowsTheSize) {
    const struct {
        DWORD size;
        DWORD side;
    } cases[] = {{10, 256}, {20, 256}, {21, 512}, {32, 512}, {41, 1024}};
    D3DCAPS8 caps{};
    m_pDevice->GetDeviceCaps(&caps);
    for (const auto& c : cases) {
        BitmapFont font("Lucida Console", c.size, BitmapFont::kBold);
        ASSERT_EQ(font.Create(m_pDevice), S_OK) << c.size;
        const DWORD side = std::min<DWORD>(c.side, caps.MaxTextureWidth);
        EXPECT_EQ(font.GetTextureWidth(), side) << c.size;
        EXPECT_EQ(font.GetTextureHeight(), side) << c.size;
        EXPECT_FLOAT_EQ(font.GetTextScale(), static_cast<float>(side) / static_cast<float>(c.side));
        D3DSURFACE_DESC desc{};
        font.GetTexture()->GetLevelDesc(0, &desc);
        EXPECT_EQ(desc.Format, D3DFMT_A4R4G4B4);
        font.Release();
    }
}

TEST_F(FontTest, GlyphsAreLaidOutInRowsWithOneTexelBetween) {
    BitmapFont font("Lucida Console", 32, BitmapFont::kBold);
    ASSERT_EQ(font.Create(m_pDevice), S_OK);
    const float w = static_cast<float>(font.GetTextureWidth());
    const float h = static_cast<float>(font.GetTextureHeight());
    const float* space = font.GetGlyph(' ');
    EXPECT_FLOAT_EQ(space[0], 0.0f);
    EXPECT_FLOAT_EQ(space[1], 0.0f);
    const float cellW = (space[2] - space[0]) * w, cellH = (space[3] - space[1]) * h;
    // 32 points at 96 dpi: 43 pixels of em, a cell somewhat taller.
    EXPECT_GE(cellH, 43.0f);
    EXPECT_GT(cellW, 10.0f);
    const float* bang = font.GetGlyph('!');
    EXPECT_FLOAT_EQ(bang[0] * w, cellW + 1.0f);
    float lastRowTop = 0.0f;
    for (int c = 33; c <= 126; ++c) {
        const float* g = font.GetGlyph(c);
        EXPECT_LE(g[2], 1.0f) << c;
        EXPECT_GE(g[1], lastRowTop) << c;
        if (g[1] > lastRowTop) {
            EXPECT_FLOAT_EQ(g[0], 0.0f) << c;
            EXPECT_FLOAT_EQ((g[1] - lastRowTop) * h, cellH + 1.0f) << c;
            lastRowTop = g[1];
        }
    }
    EXPECT_GT(lastRowTop, 0.0f);
    EXPECT_LE(font.GetGlyph('~')[3], 1.0f);
}

TEST_F(FontTest, MeasureStringTakesTheWidestLineAndCountsLines) {
    BitmapFont font("Lucida Console", 32, BitmapFont::kBold);
    ASSERT_EQ(font.Create(m_pDevice), S_OK);
    const float* g = font.GetGlyph('A');
    const int cellW = static_cast<int>((g[2] - g[0]) * static_cast<float>(font.GetTextureWidth()) + 0.5f);
    const int cellH = static_cast<int>((g[3] - g[1]) * static_cast<float>(font.GetTextureHeight()) + 0.5f);
    int size[2] = {0, 0};
    ASSERT_EQ(font.MeasureString("AB\nABCD", size), S_OK);
    EXPECT_EQ(size[0], 4 * cellW);
    EXPECT_EQ(size[1], 2 * cellH);
    ASSERT_EQ(font.MeasureString("A\tB", size), S_OK);
    EXPECT_EQ(size[0], 2 * cellW);
    EXPECT_EQ(size[1], cellH);
    EXPECT_EQ(font.MeasureString(nullptr, size), E_FAIL);
    EXPECT_EQ(font.MeasureString("A", nullptr), E_FAIL);
}

TEST_F(FontTest, DrawStringPutsInkWhereTheLayoutSaysAndRestoresState) {
    BitmapFont font("Lucida Console", 32, BitmapFont::kBold);
    EXPECT_EQ(font.DrawString(0, 0, 0, 0.1f, 0.1f, 0xffffffffu, "x", 0), E_FAIL);
    ASSERT_EQ(font.Create(m_pDevice), S_OK);
    ASSERT_EQ(font.CreateBuffers(), S_OK);
    m_pRender->m_dwClearColor = 0;
    ASSERT_TRUE(m_pRender->BeginScene(2));
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    m_pDevice->SetRenderState(D3DRS_ALPHAREF, 77);
    m_pDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);

    EXPECT_EQ(font.DrawString(0, 0, 0, 0.1f, 0.1f, 0xffffffffu, "", 0), S_OK);
    // From the top-left corner, one line 60 pixels tall; a 'H' cell scaled by 60 / line height.
    ASSERT_EQ(font.DrawString(-1, -1, 0, 0.1f, 0.1f, 0xffffffffu, "H H", 0), S_OK);
    const float* g = font.GetGlyph('H');
    const float lineH = (g[3] - g[1]) * static_cast<float>(font.GetTextureHeight());
    const float cellW = (g[2] - g[0]) * static_cast<float>(font.GetTextureWidth()) * 800.0f * 0.1f / lineH;
    const auto px = ReadBack();
    auto inkIn = [&](int x0, int x1, int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += At(px, x, y) != 0;
        return n;
    };
    const int c = static_cast<int>(cellW);
    EXPECT_GT(inkIn(0, c, 0, 60), 50);
    EXPECT_EQ(inkIn(c + 1, 2 * c - 1, 0, 60), 0);  // the space
    EXPECT_GT(inkIn(2 * c, 3 * c, 0, 60), 50);
    EXPECT_EQ(inkIn(0, 800, 61, 200), 0);
    EXPECT_EQ(inkIn(3 * c + 2, 800, 0, 60), 0);

    EXPECT_EQ(RS(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CW));
    EXPECT_EQ(RS(D3DRS_ALPHAREF), 77u);
    EXPECT_EQ(TSS(0, D3DTSS_MAGFILTER), static_cast<DWORD>(D3DTEXF_LINEAR));
    m_pRender->EndScene();
    font.Release();
}

TEST_F(FontTest, LongStringsAreDrawnAcrossBatches) {
    BitmapFont font("Lucida Console", 10, BitmapFont::kBold);
    ASSERT_EQ(font.Create(m_pDevice), S_OK);
    ASSERT_EQ(font.CreateBuffers(), S_OK);
    m_pRender->m_dwClearColor = 0;
    ASSERT_TRUE(m_pRender->BeginScene(2));
    // 120 glyphs: one full batch of 50, a second of 50, then 20 at the end, on three lines.
    std::string text(50, '#');
    text += "\n" + std::string(50, '#') + "\n" + std::string(20, '#');
    ASSERT_EQ(font.DrawString(-1, -1, 0, 0.0125f, 0.05f, 0xffffffffu, text.c_str(), 0), S_OK);
    const float* g = font.GetGlyph('#');
    const float lineH = (g[3] - g[1]) * static_cast<float>(font.GetTextureHeight());
    const float cellW = (g[2] - g[0]) * static_cast<float>(font.GetTextureWidth()) * 800.0f * 0.0125f / lineH;
    const auto px = ReadBack();
    auto inkInCell = [&](int col, int line) {
        int n = 0;
        for (int y = line * 30; y < line * 30 + 30; ++y)
            for (int x = static_cast<int>(col * cellW); x < static_cast<int>((col + 1) * cellW); ++x)
                n += At(px, x, y) != 0;
        return n;
    };
    EXPECT_GT(inkInCell(0, 0), 0);
    EXPECT_GT(inkInCell(49, 0), 0);
    EXPECT_GT(inkInCell(49, 1), 0);
    EXPECT_GT(inkInCell(19, 2), 0);
    EXPECT_EQ(inkInCell(21, 2), 0);
    m_pRender->EndScene();
    font.Release();
}

// On a back buffer twice the picture's size the atlas holds glyphs twice as dense, in cells of
// exactly twice the size, so text is measured and laid out as on the picture's own size.
class ScaledFontTest : public RenderTest {
protected:
    void SetUp() override {
        D3D8_SetBackBufferScale(2);
        RenderTest::SetUp();
        D3D8_SetBackBufferScale(1);
    }
};

TEST_F(ScaledFontTest, TwiceAsDenseAndMeasuredInThePicturesPixels) {
    BitmapFont font("Lucida Console", 32, BitmapFont::kBold);
    ASSERT_EQ(font.Create(m_pDevice), S_OK);
    EXPECT_EQ(font.GetTextureWidth(), 1024u);
    // The cells of the face at 43 pixels (32 points at 96 dpi), doubled.
    auto face = velunar::gdi::GlyphFace::Open("Lucida Console", 43, true, false);
    ASSERT_TRUE(face);
    const velunar::gdi::TextExtent a = face->Measure("A", 1);
    const float* g = font.GetGlyph('A');
    EXPECT_FLOAT_EQ((g[2] - g[0]) * 1024.0f, 2.0f * static_cast<float>(a.cx));
    EXPECT_FLOAT_EQ((g[3] - g[1]) * 1024.0f, 2.0f * static_cast<float>(a.cy));
    int size[2] = {0, 0};
    ASSERT_EQ(font.MeasureString("AAA\nA", size), S_OK);
    EXPECT_EQ(size[0], 3 * a.cx);
    EXPECT_EQ(size[1], 2 * a.cy);
    // The glyphs are drawn at the atlas's density: more rows of 'A' are covered than at 43 pixels.
    int rows = 0;
    D3DLOCKED_RECT lr{};
    ASSERT_EQ(font.GetTexture()->LockRect(0, &lr, nullptr, D3DLOCK_READONLY), S_OK);
    const int x0 = static_cast<int>(g[0] * 1024.0f), y0 = static_cast<int>(g[1] * 1024.0f);
    for (int y = y0; y < y0 + 2 * a.cy; ++y) {
        const auto* row = reinterpret_cast<const WORD*>(static_cast<const BYTE*>(lr.pBits) + y * lr.Pitch);
        bool any = false;
        for (int x = x0; x < x0 + 2 * a.cx; ++x) any = any || row[x] != 0;
        rows += any ? 1 : 0;
    }
    font.GetTexture()->UnlockRect(0);
    EXPECT_GT(rows, a.cy);
    font.Release();
}
