// Reads a freshly generated data tree the way the program reads it and checks what each scene
// relies on: kinds, sizes, alpha pairs, seamless tiles, mesh consistency, the INI syntax, and
// that two runs write the same bytes. The runnable tree's own copy is checked when present.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "asset_tree.h"
#include "assets.h"
#include "imageread.h"
#include "mesh.h"

using namespace assetgen;
using namespace assettest;
namespace fs = std::filesystem;

namespace {


bool PowerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

int Channel(const Decoded& d, int x, int y, int c) { return d.rgba[(static_cast<size_t>(y) * d.w + x) * 4 + c]; }

// The reader's token kinds: digits only (or empty) is an integer 'd', anything else a string 's'.
std::string Kinds(const std::vector<std::string>& tokens) {
    std::string k;
    for (const auto& t : tokens) k += std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; }) ? 'd' : 's';
    return k;
}

// Data lines as the reader delivers them: comments and blank lines skipped, split at spaces.
std::vector<std::vector<std::string>> DataLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::vector<std::string>> out;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        std::vector<std::string> tokens;
        std::istringstream ss(line);
        for (std::string t; ss >> t;) tokens.push_back(t);
        out.push_back(tokens);
    }
    return out;
}

struct Expect {
    const char* file;
    int w, h;  // 0 = any power of two
    int channels;
};

}  // namespace

TEST_F(AssetTree, EveryFileIsWritten) { EXPECT_TRUE(failed_.empty()) << failed_.front(); }

TEST_F(AssetTree, EveryPictureDecodesWithItsKindAndSize) {
    const Expect all[] = {
        {"back2.jpg", 256, 256, 3},   {"back.jpg", 256, 256, 3},     {"back3.jpg", 256, 256, 3},
        {"stq1.png", 256, 256, 3},    {"stq2.png", 256, 256, 3},     {"stq3.png", 256, 256, 3},
        {"stq4.png", 256, 256, 3},    {"stq5.png", 256, 256, 3},     {"h3.jpg", 256, 256, 3},
        {"tc.jpg", 256, 256, 3},      {"news.jpg", 1024, 512, 3},    {"fx4.jpg", 1024, 512, 3},
        {"under.jpg", 1024, 512, 3},  {"tarnel.png", 1024, 512, 4},  {"shibumi.jpg", 1024, 512, 3},
        {"flara1.jpg", 0, 0, 3},      {"flara2.jpg", 0, 0, 3},       {"flara3.jpg", 0, 0, 3},
        {"flarabezinv.jpg", 0, 0, 3}, {"flarainv.jpg", 0, 0, 3},     {"pas1.jpg", 0, 0, 3},
        {"pas1alpha.jpg", 0, 0, 1},   {"8802.jpg", 1024, 512, 3},    {"8802alpha.jpg", 1024, 512, 1},
        {"layerbok.jpg", 256, 512, 3}, {"qll.jpg", 1024, 256, 3},    {"hlv.jpg", 1024, 256, 3},
        {"logo.png", 256, 128, 4},    {"hlvqll.jpg", 512, 256, 3},   {"cre1.png", 256, 256, 4},
        {"cre2.png", 256, 256, 4},    {"cre3.png", 256, 256, 4},     {"cre4.png", 256, 256, 4},
        {"vosk.png", 1024, 512, 4},   {"pod.jpg", 256, 256, 3},      {"black.jpg", 0, 0, 3},
        {"white.jpg", 0, 0, 3},
    };
    for (const Expect& e : all) {
        SCOPED_TRACE(e.file);
        Decoded d = Load(e.file);
        EXPECT_TRUE(PowerOfTwo(d.w) && PowerOfTwo(d.h)) << d.w << "x" << d.h;
        if (e.w) {
            EXPECT_EQ(d.w, e.w);
        }
        if (e.h) {
            EXPECT_EQ(d.h, e.h);
        }
        EXPECT_EQ(d.channels, e.channels);
        EXPECT_FALSE(d.progressive) << "the alpha loaders want baseline JPEG";
    }
    // The intro's picture must fit between the letterbox bars.
    Decoded m = Load("hlvqll.jpg");
    EXPECT_LE(m.w, 800);
    EXPECT_LE(m.h, 400);
    Decoded b = Load("black.jpg"), w = Load("white.jpg");
    EXPECT_LE(Channel(b, 3, 3, 0), 2);
    EXPECT_GE(Channel(w, 3, 3, 1), 253);
}

TEST_F(AssetTree, BandsShareTheHeightTheirQuadsAreSetUpWith) {
    // Several band quads take their texture coordinates from another texture's height
    // (fx07's silhouette and fx06's closing image from "news", fx08's band from "layerbok"),
    // so each drawn picture must be exactly as tall as that reference to show its top 384 rows.
    const std::pair<const char*, const char*> pairs[] = {
        {"8802.jpg", "news.jpg"}, {"vosk.png", "news.jpg"}, {"under.jpg", "layerbok.jpg"}};
    for (auto [shown, reference] : pairs) {
        SCOPED_TRACE(shown);
        Decoded s = Load(shown), r = Load(reference);
        EXPECT_EQ(s.h, r.h);
        EXPECT_GE(r.h, 400) << "fx01's band reads 400 rows of layerbok and the others 384";
    }
}

TEST_F(AssetTree, AlphaPairsMatchAndCarryShapes) {
    for (auto [colour, alpha] : {std::pair{"pas1.jpg", "pas1alpha.jpg"}, std::pair{"8802.jpg", "8802alpha.jpg"}}) {
        SCOPED_TRACE(colour);
        Decoded c = Load(colour), a = Load(alpha);
        EXPECT_EQ(c.w, a.w);
        EXPECT_EQ(c.h, a.h);
    }
    // The stripe: a streak in the middle row, clear at the top and bottom edges. Stretched 20 to
    // 28 times, it must lie in the columns between 0.17 and 0.44 of the width, or the stripes
    // would pop in or out in view where they wrap.
    Decoded s = Load("pas1alpha.jpg");
    const int mid = s.w * 10 / 32;
    EXPECT_GT(Channel(s, mid, s.h / 2, 0), 200);
    EXPECT_LT(Channel(s, mid, 0, 0), 20);
    EXPECT_LT(Channel(s, mid, s.h - 1, 0), 20);
    for (int x = 0; x < s.w; ++x) {
        if (x >= s.w * 17 / 100 && x < s.w * 44 / 100) continue;
        EXPECT_LT(Channel(s, x, s.h / 2, 0), 8) << x;
    }
    // The silhouette: sky clear at the top of the band, the city solid just above its shore, and
    // the band's foot clear again, where the lower flares drift.
    Decoded k = Load("8802alpha.jpg");
    int clear = 0, solid = 0, foot = 0;
    for (int x = 0; x < k.w; ++x) {
        clear += Channel(k, x, 20, 0) < 16;
        solid += Channel(k, x, 280, 0) > 240;
        foot += Channel(k, x, 370, 0) < 16;
    }
    EXPECT_GT(clear, k.w * 9 / 10);
    EXPECT_GT(solid, k.w * 17 / 20);  // narrow gaps between the buildings
    EXPECT_GT(foot, k.w * 9 / 10);
}

TEST_F(AssetTree, SelfAlphaPicturesHaveClearAndOpaqueParts) {
    // Their first (blue) channel becomes the alpha: black must surround bright shapes.
    for (const char* f : {"layerbok.jpg", "qll.jpg", "hlv.jpg"}) {
        SCOPED_TRACE(f);
        Decoded d = Load(f);
        size_t dark = 0, bright = 0, n = static_cast<size_t>(d.w) * d.h;
        for (size_t i = 0; i < n; ++i) {
            dark += d.rgba[i * 4 + 2] < 16;
            bright += d.rgba[i * 4 + 2] > 200;
        }
        EXPECT_GT(dark, n / 3);
        EXPECT_GT(bright, n / 50);
    }
}

TEST_F(AssetTree, RepeatingTexturesHaveNoSeams) {
    // Across the wrap the step between the last and first column (row) must look like any step
    // inside the picture; a picture that does not tile shows a jump there.
    auto step = [](const Decoded& d, int x0, int y0, int x1, int y1) {
        return std::abs(Channel(d, x0, y0, 0) - Channel(d, x1, y1, 0)) + std::abs(Channel(d, x0, y0, 1) - Channel(d, x1, y1, 1)) +
               std::abs(Channel(d, x0, y0, 2) - Channel(d, x1, y1, 2));
    };
    for (const char* f : {"back2.jpg", "back.jpg", "back3.jpg", "stq1.png", "stq2.png", "stq3.png", "stq4.png",
                          "stq5.png", "h3.jpg", "tc.jpg", "layerbok.jpg", "qll.jpg", "hlv.jpg", "strip1.jpg", "strip2.jpg"}) {
        SCOPED_TRACE(f);
        Decoded d = Load(f);
        double inside = 0, seamX = 0, seamY = 0;
        for (int y = 0; y < d.h; ++y) {
            seamX += step(d, d.w - 1, y, 0, y);
            inside += step(d, d.w / 2 - 1, y, d.w / 2, y);
        }
        EXPECT_LE(seamX, inside * 2 + d.h * 6.0);
        bool wrapsVertically = std::string(f).find("strip") == std::string::npos && f[0] != 'q' && f[0] != 'h';
        if (std::string(f) == "h3.jpg") wrapsVertically = true;
        if (!wrapsVertically) continue;
        inside = 0;
        for (int x = 0; x < d.w; ++x) {
            seamY += step(d, x, d.h - 1, x, 0);
            inside += step(d, x, d.h / 2 - 1, x, d.h / 2);
        }
        EXPECT_LE(seamY, inside * 2 + d.w * 6.0);
    }
}

TEST_F(AssetTree, MeshesAreConsistentAndSizedForTheirCameras) {
    // Closed solids face inwards; sheets, and fx05's knot (wound face by face), face down.
    enum Kind { kClosed, kSheet, kEveryFaceDown };
    struct Limit {
        const char* file;
        Kind kind;
        float maxRadius;  // world units at scale 1, from the scene's camera distance and scale
        float minRadius;
    };
    const Limit limits[] = {
        {"2.obj", kClosed, 500 / 3.0f, 100}, {"geo1.obj", kClosed, 120, 50}, {"geo2.obj", kClosed, 120, 50},
        {"geo3.obj", kClosed, 120, 50},      {"foil.obj", kSheet, 250, 100}, {"1.obj", kEveryFaceDown, 100 / 0.9f * 0.85f, 40},
        {"sys.obj", kClosed, 190 / 0.7f, 120}, {"5.obj", kClosed, 250, 80},  {"ring.obj", kClosed, 320, 200},
        {"flower.obj", kSheet, 400, 200},
    };
    for (const Limit& l : limits) {
        SCOPED_TRACE(l.file);
        Mesh m;
        ASSERT_TRUE(ReadObj(Data(l.file), m));
        EXPECT_GE(m.faces.size(), 2000u);
        EXPECT_LE(m.faces.size(), 30000u);
        EXPECT_LE(m.pos.size(), 65536u);
        float radius = 0;
        for (const auto& p : m.pos) {
            ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
            radius = std::max(radius, Length(p));
        }
        EXPECT_LE(radius, l.maxRadius);
        EXPECT_GE(radius, l.minRadius);
        // Every index is a real vertex, every face has area (a zero normal would stay zero after
        // the loader's normalising), and every directed edge is used once.
        std::set<std::pair<uint32_t, uint32_t>> edges;
        bool duplicateEdge = false;
        double normalY = 0;
        for (size_t f = 0; f < m.faces.size(); ++f) {
            for (uint32_t i : m.faces[f]) ASSERT_LT(i, m.pos.size());
            EXPECT_GT(Length(LoaderFaceNormal(m, f)), 1e-6f) << "face " << f;
            for (int e = 0; e < 3; ++e)
                duplicateEdge |= !edges.insert({m.faces[f][e], m.faces[f][(e + 1) % 3]}).second;
            normalY += LoaderFaceNormal(m, f).y;
        }
        if (l.kind == kEveryFaceDown) {
            for (size_t f = 0; f < m.faces.size(); ++f) EXPECT_LE(LoaderFaceNormal(m, f).y, 0.0f) << "face " << f;
            continue;
        }
        EXPECT_FALSE(duplicateEdge) << "winding is inconsistent";
        if (l.kind == kClosed) {
            // Closed: each edge is met in both directions, and the normals point inwards.
            size_t open = 0;
            for (auto [a, b] : edges) open += !edges.count({b, a});
            EXPECT_EQ(open, 0u);
            EXPECT_LT(SignedVolume(m), 0);
        } else {
            EXPECT_LT(normalY, 0) << "sheets face up with their normals pointing down";
        }
    }
    // fx10's camera comes down to 10.1 units above the flower at scale 0.5: nothing near the
    // axis may reach it. fx04's camera hovers at least 90 units above the foil.
    Mesh flower, foil;
    ASSERT_TRUE(ReadObj(Data("flower.obj"), flower));
    for (const auto& p : flower.pos)
        if (std::hypot(p.x, p.z) < 40) {
            EXPECT_LT(p.y * 0.5f, 10.1f);
        }
    ASSERT_TRUE(ReadObj(Data("foil.obj"), foil));
    for (const auto& p : foil.pos) EXPECT_LT(std::fabs(p.y), 90.0f);
}

TEST_F(AssetTree, LayerIniParsesIntoWhatTheLayerReaderAccepts) {
    auto lines = DataLines(Data("layer.ini"));
    ASSERT_FALSE(lines.empty());
    ASSERT_EQ(Kinds(lines[0]).substr(0, 1), "d");
    int n = std::atoi(lines[0][0].c_str());
    ASSERT_GE(n, 1);
    ASSERT_LE(n, 16);
    ASSERT_GE(lines.size(), static_cast<size_t>(n) + 1);
    std::vector<int> strips;
    for (int i = 1; i <= n; ++i) {
        const auto& t = lines[static_cast<size_t>(i)];
        ASSERT_GE(t.size(), 3u);
        std::string kinds = Kinds(t);
        EXPECT_EQ(kinds, "s" + std::string(t.size() - 1, 'd'));
        int count = std::atoi(t[1].c_str());
        ASSERT_EQ(static_cast<int>(t.size()), count + 2);
        // The file is opened by the name as written, from the run directory.
        ASSERT_EQ(t[0].rfind("data/", 0), 0u);
        Decoded d = Load(t[0].substr(5));
        for (int b = 0; b + 1 < count; ++b) {
            int top = std::atoi(t[static_cast<size_t>(b) + 2].c_str()), bottom = std::atoi(t[static_cast<size_t>(b) + 3].c_str());
            EXPECT_LT(top + 2, bottom - 1);
            EXPECT_LE(bottom, d.h);
        }
        strips.push_back(count - 1);
    }
    size_t layers = 0;
    bool startsWithTheScene = false;
    for (size_t i = static_cast<size_t>(n) + 1; i < lines.size(); ++i, ++layers) {
        const auto& t = lines[i];
        ASSERT_EQ(Kinds(t), "dddddss") << "line " << i;
        int start = std::atoi(t[0].c_str()), end = std::atoi(t[1].c_str()), tex = std::atoi(t[2].c_str());
        int strip = std::atoi(t[3].c_str()), y = std::atoi(t[4].c_str());
        double rate = std::atof(t[5].c_str()), alpha = std::atof(t[6].c_str());
        EXPECT_GE(start, 27345);
        EXPECT_LE(end, 45900);
        EXPECT_LT(start, end);
        startsWithTheScene |= start == 27345;
        ASSERT_LT(tex, n);
        EXPECT_LT(strip, strips[static_cast<size_t>(tex)]);
        EXPECT_GE(y, 100 + 32);
        EXPECT_LE(y, 500 - 32);
        EXPECT_NE(rate, 0.0);
        EXPECT_NE(t[5].find('.'), std::string::npos) << "a rate without a point reads as an integer";
        EXPECT_GT(alpha, 0.0);
        EXPECT_LE(alpha, 1.0);
    }
    EXPECT_GE(layers, 4u);
    EXPECT_LE(layers, 256u);
    EXPECT_TRUE(startsWithTheScene);
}

TEST_F(AssetTree, CaptionsAreShortPrintableLines) {
    std::ifstream in(Data("napisy.ini"));
    std::string line;
    int captions = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        ++captions;
        EXPECT_LE(line.size(), 30u) << line;
        EXPECT_NE(line.front(), ' ');
        EXPECT_NE(line.back(), ' ');
        for (char c : line) EXPECT_TRUE(c >= 32 && c <= 126) << line;
    }
    EXPECT_GE(captions, 12);
    EXPECT_LE(captions, 30);
}

TEST_F(AssetTree, TwoRunsWriteTheSameBytes) {
    std::string again = std::string(VELUNAR_TEST_TMP) + "/again";
    ASSERT_TRUE(WriteDataTree(again, 1).empty());
    size_t files = 0;
    for (const auto& e : fs::directory_iterator(GenDir() + "/data")) {
        std::ifstream a(e.path(), std::ios::binary), b(again + "/data/" + e.path().filename().string(), std::ios::binary);
        std::string sa((std::istreambuf_iterator<char>(a)), {}), sb((std::istreambuf_iterator<char>(b)), {});
        EXPECT_EQ(sa, sb) << e.path().filename();
        ++files;
    }
    EXPECT_GT(files, 40u);
}

TEST(RunTree, BuiltDataMatchesTheGeneratorAndTheTrackIsThere) {
    std::string run = VELUNAR_RUN_DIR;
    if (!fs::exists(run + "/data/layer.ini")) GTEST_SKIP() << "build the assets target to check " << run;
    std::string fresh = std::string(VELUNAR_TEST_TMP) + "/run-compare";
    ASSERT_TRUE(WriteDataTree(fresh, 2).empty());
    for (const auto& e : fs::directory_iterator(fresh + "/data")) {
        std::string name = e.path().filename().string();
        EXPECT_TRUE(fs::exists(run + "/data/" + name)) << name;
        if (fs::exists(run + "/data/" + name)) {
            EXPECT_EQ(fs::file_size(e.path()), fs::file_size(run + "/data/" + name)) << name;
        }
    }
    // The track: MPEG-1 Layer III frames at 44.1 kHz, joint or full stereo, about 172 s long.
    std::ifstream in(run + "/velunar.mp3", std::ios::binary);
    ASSERT_TRUE(in) << "velunar.mp3 is missing beside data/";
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    size_t at = 0;
    if (bytes.compare(0, 3, "ID3") == 0 && bytes.size() > 10)
        at = 10 + ((bytes[6] & 0x7f) << 21 | (bytes[7] & 0x7f) << 14 | (bytes[8] & 0x7f) << 7 | (bytes[9] & 0x7f));
    ASSERT_LT(at + 4, bytes.size());
    auto b = [&](size_t i) { return static_cast<uint8_t>(bytes[i]); };
    ASSERT_EQ(b(at), 0xff);
    ASSERT_EQ(b(at + 1) & 0xfe, 0xfa) << "MPEG-1 Layer III";
    EXPECT_EQ((b(at + 2) >> 2) & 3, 0) << "44.1 kHz";
    EXPECT_NE(b(at + 3) >> 6, 3) << "stereo";
    // The gapless header (Xing or Info) counts the frames: 1152 samples each.
    size_t tag = bytes.find("Xing", at);
    if (tag == std::string::npos || tag > at + 64) tag = bytes.find("Info", at);
    ASSERT_TRUE(tag != std::string::npos && tag < at + 64) << "no gapless header";
    ASSERT_TRUE(b(tag + 7) & 1);
    uint32_t frames = static_cast<uint32_t>(b(tag + 8)) << 24 | b(tag + 9) << 16 | b(tag + 10) << 8 | b(tag + 11);
    double seconds = frames * 1152.0 / 44100.0;
    EXPECT_GT(seconds, 168.0);
    EXPECT_LT(seconds, 176.0);
}
