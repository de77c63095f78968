// The layer file: what a good file fills in, what odd and damaged files leave out, and the scroll
// window a layer shows at a given time.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/ini.h"
#include "core/logger.h"
#include "fx/layer_file.h"

namespace {

// Works in the process's own folder, its current directory.
class LayerFile : public ::testing::Test {
protected:
    void SetUp() override { g_pLogger = new CLogger("debug.txt", 20); }
    void TearDown() override {
        delete g_pLogger;
        g_pLogger = nullptr;
    }
    std::string Log() const {
        std::ifstream in("debug.txt", std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    int Count(const std::string& piece) const {
        const std::string log = Log();
        int n = 0;
        for (size_t at = log.find(piece); at != std::string::npos; at = log.find(piece, at + 1)) ++n;
        return n;
    }

    // Reads `text` as the layer file; each texture the file names gets a distinct fake handle.
    void Read(const std::string& text) {
        std::ofstream("layer.ini", std::ios::binary) << text;
        CIni ini;
        ASSERT_TRUE(ini.Open("layer.ini"));
        loaded_.clear();
        ReadLayerFile(ini, tables_, [this](const char* name) {
            loaded_.push_back(name);
            return reinterpret_cast<IDirect3DTexture8*>(static_cast<std::uintptr_t>(0x1000 * loaded_.size()));
        });
    }

    LayerTables tables_;
    std::vector<std::string> loaded_;
};

TEST_F(LayerFile, GoodFileFillsBothTablesInFileOrder) {
    Read("# strips\n"
         "2\n"
         "data/a.jpg 3 0 64 128\n"
         "; second picture\n"
         "data/b.jpg   5 0 10 20 30 40  \n"
         "27345 45900 0 1 140 9.0 0.55\n"
         "\n"
         "100 200 1 3 462 -6.5 .45\n");
    ASSERT_EQ(tables_.textureCount, 2);
    EXPECT_EQ(loaded_, (std::vector<std::string>{"data/a.jpg", "data/b.jpg"}));
    EXPECT_EQ(tables_.textures[0].stripCount, 3);
    EXPECT_EQ(tables_.textures[0].boundaries[2], 128);
    EXPECT_EQ(tables_.textures[1].stripCount, 5);
    EXPECT_EQ(tables_.textures[1].boundaries[4], 40);
    EXPECT_NE(tables_.textures[0].texture, tables_.textures[1].texture);

    ASSERT_EQ(tables_.layerCount, 2);
    const Layer& a = tables_.layers[0];
    EXPECT_EQ(a.start, 27345.0f);
    EXPECT_EQ(a.end, 45900.0f);
    EXPECT_EQ(a.textureIndex, 0);
    EXPECT_EQ(a.strip, 1);
    EXPECT_EQ(a.y, 140.0f);
    EXPECT_FLOAT_EQ(a.timePerTexel, 9.0f);
    EXPECT_FLOAT_EQ(a.alpha, 0.55f);
    EXPECT_FLOAT_EQ(tables_.layers[1].timePerTexel, -6.5f);
    EXPECT_FLOAT_EQ(tables_.layers[1].alpha, 0.45f);

    // Each texture line logs its boundaries, then ends the line.
    EXPECT_NE(Log().find("0 - 64 - 128 - \n0 - 10 - 20 - 30 - 40 - \n"), std::string::npos);
    EXPECT_EQ(Count("fxlayers : error in layer.ini\n"), 0);
}

TEST_F(LayerFile, MalformedAndDanglingLayerLinesAreLoggedAndSkipped) {
    Read("1\n"
         "data/a.jpg 3 0 64 128\n"
         "-5 100 0 0 140 1.0 0.5\n"     // a sign makes a string
         "0 100 0 0 140 1 0.5\n"        // rate without a decimal point is an integer
         "0 100 0 0 140.5 1.0 0.5\n"    // y with a decimal point
         "0 100 0 0 140 1.0\n"          // six fields
         "0 100 0 0 140 1.0 0.5 x\n"    // eight fields
         "0 100 1 0 140 1.0 0.5\n"      // no texture 1
         "0 100 0 2 140 1.0 0.5\n"      // strip 2 has no lower boundary
         "0 100 0 99999999999 140 1.0 0.5\n"  // far past the strips (the reader saturates)
         "0 100 0 0 140 0.0 0.5\n"      // no scroll rate
         "0 100 0 0 140 fast 0.5\n"     // not a number: no rate either
         "0 100 0 1 140 2.0 0.5\n");    // the one good line
    ASSERT_EQ(tables_.layerCount, 1);
    EXPECT_EQ(tables_.layers[0].strip, 1);
    EXPECT_EQ(Count("fxlayers : error in layer.ini\n"), 10);
}

TEST_F(LayerFile, TablesKeepTheirBounds) {
    std::string text = "20\n";
    for (int i = 0; i < 20; ++i) text += "data/t" + std::to_string(i) + ".jpg 2 0 64\n";
    for (int i = 0; i < 300; ++i) text += std::to_string(i) + " 1000 15 0 100 1.0 0.5\n";
    Read(text);
    // Texture lines past the sixteenth are read over and not loaded; layers past 256 are dropped.
    EXPECT_EQ(tables_.textureCount, LayerTables::kMaxTextures);
    EXPECT_EQ(loaded_.size(), 16u);
    EXPECT_EQ(loaded_.back(), "data/t15.jpg");
    ASSERT_EQ(tables_.layerCount, LayerTables::kMaxLayers);
    EXPECT_EQ(tables_.layers[255].start, 255.0f);

    // A count larger than the numbers on the line takes the numbers there are, at most 128.
    std::string wide = "2\ndata/a.jpg 9 0 64\ndata/b.jpg 200";
    for (int i = 0; i < 125; ++i) wide += " " + std::to_string(i);
    Read(wide + "\n");
    EXPECT_EQ(tables_.textures[0].stripCount, 2);
    EXPECT_EQ(tables_.textures[1].stripCount, 125);
    EXPECT_EQ(tables_.textures[1].boundaries[124], 124);
}

TEST_F(LayerFile, DamagedFilesGiveFewerOrNoLayers) {
    // The file ends inside the texture lines.
    Read("3\ndata/a.jpg 2 0 64\n");
    EXPECT_EQ(tables_.textureCount, 1);
    EXPECT_EQ(tables_.layerCount, 0);

    // A texture line without a name keeps its place, so the layers on the next entry still match.
    Read("2\n5 0 64\ndata/b.jpg 2 0 64\n0 10 0 0 100 1.0 0.5\n0 10 1 0 100 1.0 0.5\n");
    EXPECT_EQ(tables_.textureCount, 2);
    EXPECT_EQ(tables_.textures[0].texture, nullptr);
    ASSERT_EQ(tables_.layerCount, 1);
    EXPECT_EQ(tables_.layers[0].textureIndex, 1);

    // No count on the first line: no textures, and every later line stands on its own.
    Read("strips\n0 10 0 0 100 1.0 0.5\n");
    EXPECT_EQ(tables_.textureCount, 0);
    EXPECT_EQ(tables_.layerCount, 0);

    // Only comments.
    Read("# nothing\n\n; here\n");
    EXPECT_EQ(tables_.textureCount, 0);
    EXPECT_EQ(tables_.layerCount, 0);
}

Layer Scrolling(float rate) {
    Layer l;
    l.start = 1000.0f;
    l.end = 1e9f;
    l.timePerTexel = rate;
    return l;
}

TEST(LayerWindowTest, SlidesOneTexelPerRateAndWrapsEvery1023) {
    LayerWindow w = LayerSourceWindow(Scrolling(10.0f), 6000.0f);
    EXPECT_EQ(w.left, 500);
    EXPECT_EQ(w.right, 1523);
    // At 1023 the window is not yet wrapped; at 2046 it is back at the start.
    w = LayerSourceWindow(Scrolling(1.0f), 1000.0f + 1023.0f);
    EXPECT_EQ(w.left, 1023);
    EXPECT_EQ(w.right, 2046);
    w = LayerSourceWindow(Scrolling(1.0f), 1000.0f + 2046.0f);
    EXPECT_EQ(w.left, 0);
    EXPECT_EQ(w.right, 1023);
    // The other way: -10 texels becomes 1013, the right edge following.
    w = LayerSourceWindow(Scrolling(-1.0f), 1010.0f);
    EXPECT_EQ(w.left, 1013);
    EXPECT_EQ(w.right, 2036);
    w = LayerSourceWindow(Scrolling(-1.0f), 1000.0f + 3000.0f);
    EXPECT_EQ(w.left, 69);
    EXPECT_EQ(w.right, 1092);
}

TEST(LayerWindowTest, FarFromTheStartTheWindowStaysInRange) {
    for (float rate : {1e-30f, -1e-30f, 1e-6f}) {
        const LayerWindow w = LayerSourceWindow(Scrolling(rate), 1e9f);
        EXPECT_GE(w.left, 0);
        EXPECT_LE(w.left, 1023);
        EXPECT_EQ(w.right - w.left, 1023);
    }
}

}  // namespace
