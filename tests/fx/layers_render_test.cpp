// Image layers on the headless device: each band lands in its rows and its time window, adds to
// what is below it, and shows the part of its strip the scroll has reached.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "fx/layers.h"
#include "render/render_fixture.h"

namespace {

// The process's own folder is the current directory: data/ is made there.
class LayersTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        std::filesystem::create_directories(Path("data"));
    }

    // A 1024 x 256 strip picture in data/: four strips of 64 rows; `f` gives each texel.
    void WriteStrips(const std::string& file, const std::function<std::uint32_t(int, int)>& f) {
        WriteImage("data/" + file, 1024, 256, f);
    }
    void Load(const std::string& ini) {
        std::ofstream(Path("data/layer.ini"), std::ios::binary) << ini;
        LoadLayers();
    }

    // The layers at t over a clear of `background`, read back.
    std::vector<std::uint32_t> Draw(float t, D3DCOLOR background = 0) {
        m_pRender->m_dwClearColor = background;
        m_pRender->BeginScene(2);
        RenderLayers(t);
        auto px = ReadBack();
        m_pRender->EndScene();
        return px;
    }
    int Green(const std::vector<std::uint32_t>& px, int x, int y) const { return Channel(At(px, x, y), 8); }
    // Brightest green over the rows [y0, y1) of every fourth column.
    int RowsMax(const std::vector<std::uint32_t>& px, int y0, int y1) const {
        int m = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < kW; x += 4) m = std::max(m, Green(px, x, y));
        return m;
    }
};

TEST_F(LayersTest, BandsShowInTheirRowsAndTimeWindowsOnly) {
    WriteStrips("white.png", [](int, int) { return 0xFFFFFFFFu; });
    // Strip 1 is rows 66 ... 126 once the edges are trimmed: 61 rows centred on y.
    Load("1\n"
         "data/white.png 5 0 64 128 192 256\n"
         "1000 2000 0 1 200 1.0 0.5\n"
         "1500 1500 0 1 400 1.0 1.0\n");
    ASSERT_EQ(Layers().layerCount, 2);

    auto px = Draw(1000.0f);
    // Half of white, added to black, across the whole width.
    EXPECT_NEAR(Green(px, 400, 200), 127, 2);
    EXPECT_NEAR(Green(px, 2, 175), 127, 2);
    EXPECT_NEAR(Green(px, 797, 225), 127, 2);
    EXPECT_EQ(RowsMax(px, 0, 168), 0);
    EXPECT_EQ(RowsMax(px, 233, kH), 0);

    // Not before the start, not at the end; a layer whose window is empty never.
    EXPECT_EQ(RowsMax(Draw(999.0f), 0, kH), 0);
    EXPECT_EQ(RowsMax(Draw(2000.0f), 0, kH), 0);
    EXPECT_EQ(RowsMax(Draw(1500.0f), 300, kH), 0);
}

TEST_F(LayersTest, BandsAddToThePictureAndToEachOther) {
    WriteStrips("grey.png", [](int, int) { return 0xFF404040u; });
    Load("1\n"
         "data/grey.png 5 0 64 128 192 256\n"
         "0 100 0 0 300 1.0 1.0\n"
         "0 100 0 2 300 1.0 1.0\n");
    auto px = Draw(50.0f, 0xFF202020u);
    // 0x20 below, two bands of 0x40 at alpha 254/255 on top.
    EXPECT_NEAR(Green(px, 400, 300), 0x20 + 2 * 0x40, 3);
    EXPECT_NEAR(Green(px, 400, 150), 0x20, 1);
}

TEST_F(LayersTest, TheWindowScrollsAcrossTheStrip) {
    // A bright mark at texel columns 600 ... 603 of strip 0.
    WriteStrips("mark.png", [](int x, int) { return x >= 600 && x < 604 ? 0xFFFFFFFFu : 0xFF000000u; });
    Load("1\ndata/mark.png 2 0 64\n0 100000 0 0 300 10.0 1.0\n");
    // Texel column X sits at screen x = X - left - 111.5: at 3000 ms the window starts at 300.
    auto px = Draw(3000.0f);
    int brightest = 0;
    for (int x = 0; x < kW; ++x)
        if (Green(px, x, 300) > Green(px, brightest, 300)) brightest = x;
    EXPECT_NEAR(brightest, 600 - 300 - 111 + 2, 3);
    // Ten seconds on, 1300 texels have passed: the window has wrapped to start at 277.
    px = Draw(13000.0f);
    brightest = 0;
    for (int x = 0; x < kW; ++x)
        if (Green(px, x, 300) > Green(px, brightest, 300)) brightest = x;
    EXPECT_NEAR(brightest, 600 - 1300 + 1023 - 111 + 2, 3);
}

TEST_F(LayersTest, MissingFileOrPictureDrawsNothing) {
    // No layer.ini: no layers, and the reader says why.
    LoadLayers();
    EXPECT_EQ(Layers().layerCount, 0);
    EXPECT_TRUE(Logged("CIni::Open : cannot open data/layer.ini"));
    EXPECT_EQ(RowsMax(Draw(10.0f), 0, kH), 0);

    // A layer on a picture that is not there is kept but has nothing to show.
    Load("1\ndata/none.png 2 0 64\n0 100 0 0 300 1.0 1.0\n");
    EXPECT_EQ(Layers().layerCount, 1);
    EXPECT_EQ(RowsMax(Draw(10.0f), 0, kH), 0);
}

}  // namespace
