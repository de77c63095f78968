// The generator's building blocks: seamless noise, the file writers and the mesh file.
#include <cmath>
#include <filesystem>

#include <gtest/gtest.h>

#include "image.h"
#include "imagefile.h"
#include "imageread.h"
#include "mesh.h"

using namespace assetgen;

namespace {
std::string Tmp(const std::string& name) {
    std::filesystem::create_directories(VELUNAR_TEST_TMP);
    return std::string(VELUNAR_TEST_TMP) + "/" + name;
}
}  // namespace

TEST(AssetBlocks, PeriodicNoiseRepeatsExactlyAndStaysInRange) {
    for (float x : {0.0f, 0.3f, 1.7f, 3.99f})
        for (float y : {0.0f, 0.5f, 2.25f}) {
            float a = PeriodicNoise(x, y, 4, 7);
            EXPECT_NEAR(a, PeriodicNoise(x + 4, y, 4, 7), 1e-5f);
            EXPECT_NEAR(a, PeriodicNoise(x, y + 8, 4, 7), 1e-5f);
            EXPECT_GE(a, 0.0f);
            EXPECT_LE(a, 1.0f);
            float f = PeriodicFbm(x, y, 4, 4, 9);
            EXPECT_NEAR(f, PeriodicFbm(x + 4, y - 4, 4, 4, 9), 1e-5f);
        }
    // Different seeds give different fields.
    EXPECT_NE(PeriodicNoise(0.5f, 0.5f, 4, 1), PeriodicNoise(0.5f, 0.5f, 4, 2));
}

TEST(AssetBlocks, JpegWritersGiveBaselineColourAndGreyFiles) {
    Image img(16, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) img.at(x, y) = {x / 15.0f, 0.5f, 1 - x / 15.0f, y / 7.0f};
    ASSERT_TRUE(WriteJpeg(Tmp("c.jpg"), img, 95));
    ASSERT_TRUE(WriteAlphaJpeg(Tmp("a.jpg"), img));
    Decoded c, a;
    ASSERT_TRUE(ReadJpeg(Tmp("c.jpg"), c));
    ASSERT_TRUE(ReadJpeg(Tmp("a.jpg"), a));
    EXPECT_EQ(c.channels, 3);
    EXPECT_EQ(a.channels, 1);
    EXPECT_FALSE(c.progressive);
    EXPECT_EQ(a.w, 16);
    EXPECT_EQ(a.h, 8);
    // The grey file carries the alpha ramp, top row transparent, bottom row opaque.
    EXPECT_LT(a.rgba[0], 12);
    EXPECT_GT(a.rgba[(7 * 16) * 4], 243);
    EXPECT_NEAR(c.rgba[0], 0, 12);
    EXPECT_NEAR(c.rgba[2], 255, 12);
    EXPECT_FALSE(WriteJpeg("/nonexistent-dir/x.jpg", img));
}

TEST(AssetBlocks, PngKeepsAlphaOnlyWhenAsked) {
    Image img(4, 4, {1, 0, 0, 0.5f});
    ASSERT_TRUE(WritePng(Tmp("a.png"), img, true));
    ASSERT_TRUE(WritePng(Tmp("b.png"), img, false));
    Decoded a, b;
    ASSERT_TRUE(ReadPng(Tmp("a.png"), a));
    ASSERT_TRUE(ReadPng(Tmp("b.png"), b));
    EXPECT_EQ(a.channels, 4);
    EXPECT_EQ(b.channels, 3);
    EXPECT_EQ(a.rgba[3], 128);
    EXPECT_EQ(b.rgba[3], 255);
    EXPECT_EQ(a.rgba[0], 255);
}

TEST(AssetBlocks, MeshFileRoundTripsAndNormalsFollowTheLoader) {
    Mesh m;
    m.pos = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    m.uv = {{0, 0}, {1, 0}, {0, 1}};
    m.faces = {{0, 1, 2}};
    // The loader's normal for this face is +z.
    Vec3 n = LoaderFaceNormal(m, 0);
    EXPECT_FLOAT_EQ(n.x, 0);
    EXPECT_FLOAT_EQ(n.y, 0);
    EXPECT_FLOAT_EQ(n.z, 1);
    ASSERT_TRUE(WriteObj(Tmp("t.obj"), m));
    EXPECT_EQ(std::filesystem::file_size(Tmp("t.obj")), 16u + 3 * 20 + 12);
    Mesh back;
    ASSERT_TRUE(ReadObj(Tmp("t.obj"), back));
    ASSERT_EQ(back.pos.size(), 3u);
    EXPECT_FLOAT_EQ(back.pos[2].y, 1);
    EXPECT_FLOAT_EQ(back.uv[1][0], 1);
    EXPECT_EQ(back.faces[0][2], 2u);
    // A file cut short is refused rather than read past its end.
    std::filesystem::resize_file(Tmp("t.obj"), 16 + 3 * 20 + 6);
    EXPECT_FALSE(ReadObj(Tmp("t.obj"), back));
}

TEST(AssetBlocks, WindingHelpersAgreeOnAClosedBody) {
    // A tetrahedron wound outward has positive volume; flipping makes it negative.
    Mesh m;
    m.pos = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    m.uv.assign(4, {0, 0});
    m.faces = {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}};
    EXPECT_NEAR(SignedVolume(m), 1.0 / 6, 1e-6);
    FlipWinding(m);
    EXPECT_NEAR(SignedVolume(m), -1.0 / 6, 1e-6);
}
