// Camera, the world / projection matrices and mesh drawing with and without sphere mapping.
#include <cmath>
#include <cstdio>

#include "platform/d3dx8/d3dx8.h"
#include "render/camera.h"
#include "math/matrix.h"
#include "render/render_fixture.h"
#include "resources/object.h"

namespace {

// A mesh file: two unused words, the counts, x y z u v per vertex, three indices per face.
void WriteMesh(const std::string& path, const std::vector<float>& vertices, const std::vector<std::uint32_t>& faces) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    const std::uint32_t head[4] = {0, 0, static_cast<std::uint32_t>(vertices.size() / 5),
                                   static_cast<std::uint32_t>(faces.size() / 3)};
    std::fwrite(head, sizeof(head), 1, f);
    std::fwrite(vertices.data(), sizeof(float), vertices.size(), f);
    std::fwrite(faces.data(), sizeof(std::uint32_t), faces.size(), f);
    std::fclose(f);
}

D3DXVECTOR3 Apply(const D3DXMATRIX& m, float x, float y, float z) {
    const D3DXVECTOR3 in(x, y, z);
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &in, &m);
    return out;
}

}  // namespace

class Render3DTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        if (HasFatalFailure()) return;
        m_camera.Set(0, 0, -500, 0, 0, 0);
        ASSERT_TRUE(m_pRender->SetCamera(&m_camera));
    }
    D3DXMATRIX Get(D3DTRANSFORMSTATETYPE t) {
        D3DXMATRIX m;
        m_pDevice->GetTransform(t, &m);
        return m;
    }
    Camera m_camera;
};

TEST_F(RenderTest, WithoutACameraNothingIsSet) {
    EXPECT_FALSE(m_pRender->SetTransformations(0, 0, 0, 0, 0, 0, 1));
    EXPECT_TRUE(Logged("CRender::SetTransformations : no camera!!!\n"));
    Camera cam;
    EXPECT_FALSE(m_pRender->SetCamera(nullptr));
    EXPECT_TRUE(Logged("CRender::SetCamera : empty pointer passed to SetCamera()\n"));
    EXPECT_TRUE(m_pRender->SetCamera(&cam));
    EXPECT_FALSE(m_pRender->SetCamera(nullptr));
    EXPECT_EQ(m_pRender->GetCamera(), &cam);
}

TEST_F(Render3DTest, AMeshWithoutBuffersFailsToDrawAndSaysSo) {
    // A file that cannot be read leaves the mesh without buffers; every draw of it fails and logs.
    cObject missing(Path("absent.obj").c_str(), m_pDevice);
    ASSERT_TRUE(missing.IsEmpty());
    ASSERT_TRUE(m_pRender->BeginScene(2));
    for (int mode : {0, 1}) {
        EXPECT_FALSE(m_pRender->DrawObject(&missing, mode)) << mode;
        EXPECT_EQ(m_pRender->GetLastResult(), D3DERR_INVALIDCALL);
    }
    EXPECT_TRUE(m_pRender->DrawObject(&missing, 7));  // modes that draw nothing need no buffers
    m_pRender->EndScene();
    const std::string line = "CRender::? : D3DERR_INVALIDCALL: invalid call\n";
    const std::string log = LogText();
    const auto first = log.find(line);
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_NE(log.find(line, first + 1), std::string::npos) << "each failing draw logs";
}

TEST_F(Render3DTest, WorldScalesTurnsXYZThenMoves) {
    ASSERT_TRUE(m_pRender->SetTransformations(0, 0, 0, 0, 0, 0, 1));
    const D3DXMATRIX id = Get(D3DTS_WORLD);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_FLOAT_EQ(id.m[r][c], r == c ? 1.0f : 0.0f);

    m_pRender->SetTransformations(0, 5, 0, 0, 0, 1.5707963f, 1);
    D3DXVECTOR3 p = Apply(Get(D3DTS_WORLD), 1, 0, 0);
    EXPECT_NEAR(p.x, 0.0f, 1e-5f);
    EXPECT_NEAR(p.y, 6.0f, 1e-5f);
    EXPECT_NEAR(p.z, 0.0f, 1e-5f);

    // Scale 2, a quarter turn about X takes +y to +z, then about Y takes +z to +x.
    m_pRender->SetTransformations(10, 0, 0, 1.5707963f, 1.5707963f, 0, 2);
    p = Apply(Get(D3DTS_WORLD), 0, 1, 0);
    EXPECT_NEAR(p.x, 12.0f, 1e-4f);
    EXPECT_NEAR(p.y, 0.0f, 1e-4f);
    EXPECT_NEAR(p.z, 0.0f, 1e-4f);
}

TEST_F(Render3DTest, ProjectionOffsetSlidesThePictureSideways) {
    m_pRender->SetTransformations(0, 0, 0, 0, 0, 0, 1);
    const D3DXMATRIX view = Get(D3DTS_VIEW);
    const D3DXMATRIX plain = Get(D3DTS_PROJECTION);
    m_pRender->m_vProjOffset = Vector3(0.5f, 0.0f, 0.0f);
    m_pRender->SetTransformations(0, 0, 0, 0, 0, 0, 1);
    const D3DXMATRIX shifted = Get(D3DTS_PROJECTION);
    const D3DXMATRIX a = view * plain, b = view * shifted;
    const D3DXVECTOR3 pa = Apply(a, 30, 20, 100), pb = Apply(b, 30, 20, 100);
    // Half a clip unit is a quarter of 800 pixels.
    EXPECT_NEAR((pb.x - pa.x) * 400.0f, 200.0f, 1e-2f);
    EXPECT_NEAR(pb.y, pa.y, 1e-6f);
    // Field of view 2 radians, aspect 4:3, depth 0.1 .. 10000.
    EXPECT_NEAR(plain.m[1][1], 1.0f / std::tan(1.0f), 1e-5f);
    EXPECT_NEAR(plain.m[0][0], plain.m[1][1] * 0.75f, 1e-5f);
    EXPECT_NEAR(plain.m[2][2], 10000.0f / (10000.0f - 0.1f), 1e-5f);
}

TEST_F(Render3DTest, SphereMappedMeshTakesOneTexelFromItsNormal) {
    // A square turned 45 degrees about Y, facing the camera at an angle: every vertex has the
    // same normal, so sphere mapping gives the whole square one texture coordinate.
    const float k = 0.70710678f * 100.0f;
    const std::string mesh = Path("tilted.obj");
    WriteMesh(mesh, {-k, -100, -k, 0, 1, k, -100, k, 1, 1, k, 100, k, 1, 0, -k, 100, -k, 0, 0}, {0, 1, 2, 0, 2, 3});
    cObject obj(mesh.c_str(), m_pDevice);
    ASSERT_FALSE(obj.IsEmpty());
    ASSERT_EQ(obj.m_dwFaces, 2u);
    obj.ComputeNormals();
    obj.UpdateBuffers();

    IDirect3DTexture8* halves =
        MakeTexture(64, 64, [](int x, int) { return x < 32 ? 0xffff0000u : 0xff00ff00u; });
    ASSERT_NE(halves, nullptr);
    m_pRender->SetTexturePtr(halves, 0);
    m_pRender->SetTextureMode(TM_TEXTUREONLY, 0);
    m_pDevice->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
    m_pDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
    m_pRender->SetMaterial(1, 1, 1, 1);

    // Its own coordinates: both halves show.
    m_pRender->m_dwClearColor = 0x000000ff;
    ASSERT_TRUE(m_pRender->BeginScene(2));
    m_pRender->SetTextureMode(TM_NOTEXGEN, 0);
    ASSERT_TRUE(m_pRender->DrawObject(&obj, 0));
    auto px = ReadBack();
    int red = 0, green = 0;
    for (int x = 0; x < 800; ++x) {
        red += At(px, x, 300) == 0xff0000u;
        green += At(px, x, 300) == 0x00ff00u;
    }
    EXPECT_GT(red, 20);
    EXPECT_GT(green, 20);
    m_pRender->EndScene();

    // Sphere-mapped: one colour all over (which half depends on the normal's side).
    const Matrix4 tex = MatrixScaling(0.5f) * MatrixTranslation(0.5f, 0.5f, 0.5f);
    m_pDevice->SetTransform(D3DTS_TEXTURE0, tex);
    ASSERT_TRUE(m_pRender->BeginScene(2));
    m_pRender->SetTextureMode(TM_SPHEREMAP, 0);
    ASSERT_TRUE(m_pRender->DrawObject(&obj, 0));
    px = ReadBack();
    red = green = 0;
    int other = 0;
    for (int x = 0; x < 800; ++x) {
        const std::uint32_t c = At(px, x, 300);
        red += c == 0xff0000u;
        green += c == 0x00ff00u;
        other += c != 0xff0000u && c != 0x00ff00u && c != 0x0000ffu;
    }
    EXPECT_GT(red + green, 40);
    EXPECT_TRUE(red == 0 || green == 0) << red << " red, " << green << " green";
    EXPECT_LE(other, 2);
    m_pRender->SetTextureMode(TM_NOTEXGEN, 0);
    m_pRender->EndScene();
    m_pRender->SetTexturePtr(nullptr, 0);
    halves->Release();
}
