// CSprite's loader choice and name derivation, and cObject's buffers, rotations and refusals,
// on a real device.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "device_fixture.h"
#include "image_fixtures.h"
#include "log_capture.h"
#include "resources/object.h"
#include "resources/sprite.h"
#include "resources/texture_manager.h"

namespace {

class SpriteTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        ASSERT_TRUE(WriteFlatJpeg(Path("flara1.jpg"), 64, 32, 250, 200, 100));
        ASSERT_TRUE(WriteFlatJpeg(Path("pas1.jpg"), 16, 16, 90, 90, 90));
        ASSERT_TRUE(WriteFlatJpeg(Path("pas2.jpg"), 16, 16, 10, 20, 30));
        ASSERT_TRUE(WriteFlatJpeg(Path("pas2a.jpg"), 16, 16, 60, 60, 60));
        std::filesystem::remove(Path("pas1a.jpg"));
    }
};

TEST_F(SpriteTest, NameComesFromTheFileUnlessGiven) {
    LogCapture log("sprite_names");
    CTextureManager tm(m_pDevice, m_pD3D, m_desktopFormat);
    CSprite derived(Path("flara1.jpg").c_str(), false, nullptr, &tm);
    ASSERT_TRUE(derived.m_bLoaded);
    EXPECT_STREQ(derived.GetTextureName(), "flara1");
    EXPECT_STREQ(derived.GetFileName(), "flara1.jpg");
    EXPECT_EQ(derived.m_dwWidth, 64u);
    EXPECT_EQ(derived.m_dwHeight, 32u);
    EXPECT_EQ(derived.GetFrameTexture(), 0);
    EXPECT_TRUE(log.Has("CSprite::CSprite : Successfuly loaded sprite [flara1] [064x032]\n"));
    EXPECT_TRUE(log.Has("CTextureManager::Load : Successfully loaded [flara1] "));

    CSprite named(Path("flara1.jpg").c_str(), false, "flarencja", &tm);
    ASSERT_TRUE(named.m_bLoaded);
    EXPECT_NE(tm.FindTexture("flarencja"), nullptr);
    EXPECT_EQ(named.GetFrameTexture(), 1);
    EXPECT_EQ(named.GetFileName(), nullptr);

    // Either slash separates folders; the name still needs a dot.
    CSprite back("data\\flara1.jpg", false, nullptr, &tm);
    EXPECT_FALSE(back.m_bLoaded);
    EXPECT_STREQ(back.GetTextureName(), "flara1");
    EXPECT_TRUE(log.Has("CSprite::CSprite : Failed to load flara1\n"));
    CSprite dotless("flare", false, nullptr, &tm);
    EXPECT_FALSE(dotless.m_bLoaded);
    EXPECT_TRUE(log.Has("CSprite::CSprite : Wrong file name \n"));
    CSprite dottedFolder("my.dir/flare", false, nullptr, &tm);
    EXPECT_FALSE(dottedFolder.m_bLoaded);
    CSprite none(nullptr, false, nullptr, &tm);
    EXPECT_TRUE(log.Has("CSprite::CSprite : No file name specified\n"));
    EXPECT_EQ(tm.GetCount(), 2);
}

TEST_F(SpriteTest, AlphaSpritesUseTheMaskBesideTheImageOrTheirBrightness) {
    LogCapture log("sprite_alpha");
    CTextureManager tm(m_pDevice, m_pD3D, m_desktopFormat);
    CSprite masked(Path("pas2.jpg").c_str(), true, nullptr, &tm);
    ASSERT_TRUE(masked.m_bLoaded);
    EXPECT_STREQ(tm.GetEntry(0)->pszAlphaFileName, Path("pas2a.jpg").c_str());

    CSprite autoAlpha(Path("pas1.jpg").c_str(), true, nullptr, &tm);
    ASSERT_TRUE(autoAlpha.m_bLoaded);
    EXPECT_EQ(tm.GetEntry(1)->pszAlphaFileName, nullptr);
    EXPECT_TRUE(log.Has("CTextureManager::LoadAutoAlpha : Successfully loaded [pas1] with auto calculated alpha"));

    CSprite missing(Path("gone.jpg").c_str(), true, nullptr, &tm);
    EXPECT_FALSE(missing.m_bLoaded);
    EXPECT_TRUE(log.Has("CSprite::CSprite : Failed to load sprite gone\n"));
    // A named alpha sprite without a dot in its path cannot form a mask path: unloaded.
    CSprite noDot(Path("nodot").c_str(), true, "nd", &tm);
    EXPECT_FALSE(noDot.m_bLoaded);
    EXPECT_EQ(tm.GetCount(), 2);
}

// Mesh files written field by field.
struct MeshFile {
    std::vector<unsigned char> b;
    void U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
    }
    void F32(float f) {
        std::uint32_t u;
        std::memcpy(&u, &f, 4);
        U32(u);
    }
    void Save(const std::string& path) const {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
};

MeshFile TriangleFile() {
    MeshFile m;
    m.U32(0);
    m.U32(0);
    m.U32(3);
    m.U32(1);
    const float v[3][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    for (const auto& p : v) {
        m.F32(p[0]);
        m.F32(p[1]);
        m.F32(p[2]);
        m.F32(0.9f);
        m.F32(0.1f);
    }
    m.U32(0);
    m.U32(1);
    m.U32(2);
    return m;
}

using ObjectTest = DeviceTest;

TEST_F(ObjectTest, LoadsNormalsAndSphereMapsATriangle) {
    LogCapture log("mesh_load");
    const std::string path = Path("tri.obj");
    TriangleFile().Save(path);
    cObject obj(path.c_str(), m_pDevice);
    ASSERT_FALSE(obj.IsEmpty());
    EXPECT_EQ(obj.m_dwVertices, 3u);
    EXPECT_EQ(obj.m_dwFaces, 1u);
    EXPECT_NE(obj.m_lpVB, nullptr);
    EXPECT_NE(obj.m_lpIB, nullptr);
    EXPECT_EQ(obj.m_fScale, 1.0f);
    EXPECT_FLOAT_EQ(obj.m_vRotationStep.x, 0.1f);
    EXPECT_FLOAT_EQ(obj.m_pVertices[0].u, 0.9f);
    EXPECT_TRUE(log.Has("cObject : Loaded " + path + " (3 vertices and 1 faces)\n"));

    obj.ComputeNormals();
    EXPECT_FLOAT_EQ(obj.m_pFaceNormals[0].z, 1.0f);
    obj.SphereMapUV();
    for (DWORD i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(obj.m_pVertices[i].nz, 1.0f);
        EXPECT_FLOAT_EQ(obj.m_pVertices[i].u, 0.5f);
        EXPECT_FLOAT_EQ(obj.m_pVertices[i].v, 0.5f);
    }
    obj.UpdateBuffers();
}

TEST_F(ObjectTest, RotationsAreDegreesInRadiansStored) {
    const std::string path = Path("tri_rot.obj");
    TriangleFile().Save(path);
    cObject obj(path.c_str(), m_pDevice);
    obj.SetRotation(180, 0, -90);
    EXPECT_NEAR(obj.m_vRotation.x, 3.14159f, 1e-5);
    EXPECT_NEAR(obj.m_vRotation.z, -1.5707963f, 1e-5);
    obj.SetRotationSpeed(0, 90, 0);
    obj.Rotate();
    obj.Rotate();
    EXPECT_NEAR(obj.m_vRotation.y, 3.14159f, 1e-5);
    EXPECT_NEAR(obj.m_vRotation.x, 3.14159f, 1e-5);

    // A load rotation turns the vertices once: (1, 0, 0) by 90 degrees about Z is (0, -1, 0).
    const Vector3 turn(0, 0, 90);
    cObject turned(path.c_str(), m_pDevice, &turn);
    EXPECT_NEAR(turned.m_pVertices[1].x, 0.0f, 1e-6);
    EXPECT_NEAR(turned.m_pVertices[1].y, -1.0f, 1e-6);
}

TEST_F(ObjectTest, UntrustworthyFilesLeaveTheMeshEmpty) {
    struct Case {
        const char* name;
        MeshFile file;
    };
    MeshFile cut = TriangleFile();
    cut.b.resize(cut.b.size() - 4);
    MeshFile badIndex = TriangleFile();
    badIndex.b[badIndex.b.size() - 4] = 3;  // face names vertex 3 of 3
    MeshFile header;
    header.U32(0);
    header.U32(0);
    MeshFile bigCounts = TriangleFile();
    bigCounts.b[8] = 0xff;
    bigCounts.b[9] = 0xff;
    for (const Case& c : {Case{"cut.obj", cut}, Case{"badindex.obj", badIndex}, Case{"header.obj", header},
                          Case{"bigcounts.obj", bigCounts}}) {
        LogCapture log(std::string("mesh_") + c.name);
        const std::string path = Path(c.name);
        c.file.Save(path);
        cObject obj(path.c_str(), m_pDevice);
        EXPECT_TRUE(obj.IsEmpty()) << c.name;
        EXPECT_EQ(obj.m_lpVB, nullptr);
        EXPECT_EQ(obj.m_dwVertices, 0u);
        EXPECT_TRUE(log.Has("cObject : Cannot load " + path + " - ")) << log.Text();
        // The operations on an empty mesh do nothing.
        obj.ComputeNormals();
        obj.SphereMapUV();
        obj.UpdateBuffers();
    }
    LogCapture log("mesh_missing");
    cObject missing(Path("absent.obj").c_str(), m_pDevice);
    EXPECT_TRUE(missing.IsEmpty());
    EXPECT_TRUE(log.Has("cObject : Cannot load " + Path("absent.obj")));
    cObject noDevice(Path("tri.obj").c_str(), nullptr);
    EXPECT_TRUE(noDevice.IsEmpty());
}

}  // namespace
