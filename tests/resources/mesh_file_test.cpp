// The mesh file reader and the normals, on meshes the tests write byte by byte.
#include "resources/mesh_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "damage.h"

namespace {

using velunar::mesh::MeshData;

struct FileBuilder {
    std::vector<unsigned char> bytes;
    void U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(v >> (8 * i)));
    }
    void F32(float f) {
        std::uint32_t u;
        std::memcpy(&u, &f, 4);
        U32(u);
    }
    void Header(std::uint32_t v, std::uint32_t f) {
        U32(0xdeadbeef);
        U32(7);
        U32(v);
        U32(f);
    }
    void Vertex(float x, float y, float z, float u = 0.25f, float vv = 0.75f) {
        F32(x);
        F32(y);
        F32(z);
        F32(u);
        F32(vv);
    }
    void Face(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
        U32(a);
        U32(b);
        U32(c);
    }
    bool Parse(MeshData& out, std::string* why = nullptr) const {
        return velunar::mesh::ParseMesh(bytes.data(), bytes.size(), out, why);
    }
};

FileBuilder Triangle() {
    FileBuilder b;
    b.Header(3, 1);
    b.Vertex(0, 0, 0);
    b.Vertex(1, 0, 0);
    b.Vertex(0, 1, 0);
    b.Face(0, 1, 2);
    return b;
}

TEST(MeshFile, ReadsVerticesAndFaces) {
    MeshData m;
    ASSERT_TRUE(Triangle().Parse(m));
    ASSERT_EQ(m.vertices.size(), 3u);
    ASSERT_EQ(m.faces.size(), 1u);
    EXPECT_EQ(m.vertices[1].x, 1.0f);
    EXPECT_EQ(m.vertices[2].y, 1.0f);
    EXPECT_EQ(m.vertices[2].u, 0.25f);
    EXPECT_EQ(m.vertices[2].v, 0.75f);
    EXPECT_EQ(m.faces[0].a, 0);
    EXPECT_EQ(m.faces[0].b, 1);
    EXPECT_EQ(m.faces[0].c, 2);
}

TEST(MeshFile, IndicesKeepTheirLowSixteenBits) {
    FileBuilder b;
    b.Header(4465, 1);
    for (int i = 0; i < 4465; ++i) b.Vertex(static_cast<float>(i), 0, 0);
    b.Face(70000, 1, 65536 + 2);
    MeshData m;
    ASSERT_TRUE(b.Parse(m));
    EXPECT_EQ(m.faces[0].a, 4464);
    EXPECT_EQ(m.faces[0].b, 1);
    EXPECT_EQ(m.faces[0].c, 2);
}

TEST(MeshFile, RefusesFilesThatDoNotHoldWhatTheyPromise) {
    MeshData m;
    std::string why;
    // Cut inside the header.
    FileBuilder shortHeader;
    shortHeader.Header(3, 1);
    shortHeader.bytes.resize(12);
    EXPECT_FALSE(shortHeader.Parse(m, &why));
    EXPECT_FALSE(why.empty());
    // One byte short of the last face.
    FileBuilder cut = Triangle();
    cut.bytes.pop_back();
    EXPECT_FALSE(cut.Parse(m));
    // Counts so large that 20 V + 12 F overflows 32 bits.
    FileBuilder huge;
    huge.Header(0xffffffffu, 0xffffffffu);
    huge.Vertex(0, 0, 0);
    EXPECT_FALSE(huge.Parse(m));
    // A face naming a vertex past the end (after the 16-bit cut: 65539 -> 3).
    FileBuilder badIndex;
    badIndex.Header(3, 1);
    badIndex.Vertex(0, 0, 0);
    badIndex.Vertex(1, 0, 0);
    badIndex.Vertex(0, 1, 0);
    badIndex.Face(0, 1, 65539);
    EXPECT_FALSE(badIndex.Parse(m, &why));
    EXPECT_NE(why.find("3"), std::string::npos) << why;
    EXPECT_TRUE(m.vertices.empty());
    EXPECT_TRUE(m.faces.empty());
    // Bytes after the faces are not an error.
    FileBuilder trailing = Triangle();
    trailing.U32(0);
    EXPECT_TRUE(trailing.Parse(m));
    EXPECT_FALSE(velunar::mesh::ReadMeshFile("/nonexistent/dir/x.obj", m, &why));
}

// A two-face mesh cut at every length and with each byte inverted, from memory of exactly its
// size and from disk: each variant is refused with nothing kept, or every face names existing
// vertices and the normals are computed without reading outside the arrays.
TEST(MeshFile, EveryCutAndInvertedByteParsesWithinBoundsOrIsRefused) {
    FileBuilder b;
    b.Header(4, 2);
    b.Vertex(0, 0, 0);
    b.Vertex(1, 0, 0);
    b.Vertex(0, 1, 0);
    b.Vertex(1, 1, 0.5f);
    b.Face(0, 1, 2);
    b.Face(2, 1, 3);
    const std::string path = std::string(VELUNAR_TEST_TMP) + "/damaged.obj";
    damage::ForEach(b.bytes, 1, [&](const damage::Bytes& bytes, const std::string& what) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        MeshData fromDisk;
        const bool okDisk = velunar::mesh::ReadMeshFile(path.c_str(), fromDisk, nullptr);
        MeshData mesh;
        const bool ok = velunar::mesh::ParseMesh(bytes.data(), bytes.size(), mesh, nullptr);
        EXPECT_EQ(okDisk, ok) << what;
        if (!ok) {
            EXPECT_TRUE(mesh.vertices.empty() && mesh.faces.empty()) << what;
            return;
        }
        for (const MeshFace& f : mesh.faces) {
            ASSERT_LT(f.a, mesh.vertices.size()) << what;
            ASSERT_LT(f.b, mesh.vertices.size()) << what;
            ASSERT_LT(f.c, mesh.vertices.size()) << what;
        }
        std::vector<MeshNormal> faceNormals(mesh.faces.size());
        velunar::mesh::ComputeNormals(mesh.vertices.data(), static_cast<unsigned>(mesh.vertices.size()),
                                      mesh.faces.data(), static_cast<unsigned>(mesh.faces.size()), faceNormals.data());
    });
}

TEST(MeshNormals, SingleTriangleFacesPlusZ) {
    MeshData m;
    ASSERT_TRUE(Triangle().Parse(m));
    std::vector<MeshNormal> faceNormals(1);
    velunar::mesh::ComputeNormals(m.vertices.data(), 3, m.faces.data(), 1, faceNormals.data());
    EXPECT_FLOAT_EQ(faceNormals[0].x, 0.0f);
    EXPECT_FLOAT_EQ(faceNormals[0].y, 0.0f);
    EXPECT_FLOAT_EQ(faceNormals[0].z, 1.0f);
    for (const MeshVertex& v : m.vertices) {
        EXPECT_FLOAT_EQ(v.nx, 0.0f);
        EXPECT_FLOAT_EQ(v.ny, 0.0f);
        EXPECT_FLOAT_EQ(v.nz, 1.0f);
    }
}

// The per-vertex scan over every face, as the slow original formulation states it.
void ReferenceNormals(std::vector<MeshVertex>& v, const std::vector<MeshFace>& f, const std::vector<MeshNormal>& fn) {
    for (std::size_t i = 0; i < v.size(); ++i) {
        MeshNormal s{0, 0, 0};
        unsigned k = 0;
        for (std::size_t j = 0; j < f.size(); ++j) {
            if (f[j].a == i || f[j].b == i || f[j].c == i) {
                s.x += fn[j].x;
                s.y += fn[j].y;
                s.z += fn[j].z;
                ++k;
            }
        }
        if (k) s = MeshNormal{s.x * (1.0f / k), s.y * (1.0f / k), s.z * (1.0f / k)};
        const MeshNormal n = velunar::mesh::Normalize(s);
        v[i].nx = n.x;
        v[i].ny = n.y;
        v[i].nz = n.z;
    }
}

TEST(MeshNormals, OnePassMatchesTheScanOverEveryFace) {
    // A bumpy grid with degenerate faces (a vertex named twice) and one vertex no face uses.
    const int n = 12;
    MeshData m;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            m.vertices.push_back(MeshVertex{static_cast<float>(x), static_cast<float>((x * 7 + y * 3) % 5),
                                            static_cast<float>(y), 0, 0, 0, 0, 0});
    m.vertices.push_back(MeshVertex{99, 99, 99, 0, 0, 0, 0, 0});
    for (int y = 0; y + 1 < n; ++y)
        for (int x = 0; x + 1 < n; ++x) {
            const WORD i = static_cast<WORD>(y * n + x);
            m.faces.push_back(MeshFace{i, static_cast<WORD>(i + 1), static_cast<WORD>(i + n)});
            m.faces.push_back(MeshFace{static_cast<WORD>(i + 1), static_cast<WORD>(i + n + 1), static_cast<WORD>(i + n)});
        }
    m.faces.push_back(MeshFace{5, 5, 17});
    m.faces.push_back(MeshFace{30, 31, 30});

    std::vector<MeshNormal> fn(m.faces.size());
    std::vector<MeshVertex> fast = m.vertices;
    velunar::mesh::ComputeNormals(fast.data(), static_cast<unsigned>(fast.size()), m.faces.data(),
                                  static_cast<unsigned>(m.faces.size()), fn.data());
    std::vector<MeshVertex> slow = m.vertices;
    ReferenceNormals(slow, m.faces, fn);
    for (std::size_t i = 0; i < fast.size(); ++i) {
        EXPECT_NEAR(fast[i].nx, slow[i].nx, 1e-6) << i;
        EXPECT_NEAR(fast[i].ny, slow[i].ny, 1e-6) << i;
        EXPECT_NEAR(fast[i].nz, slow[i].nz, 1e-6) << i;
    }
    const MeshVertex& unused = fast.back();
    EXPECT_EQ(unused.nx, 0.0f);
    EXPECT_EQ(unused.ny, 0.0f);
    EXPECT_EQ(unused.nz, 0.0f);
}

TEST(MeshNormals, ZeroVectorStaysZero) {
    const MeshNormal z = velunar::mesh::Normalize(MeshNormal{0, 0, 0});
    EXPECT_EQ(z.x, 0.0f);
    EXPECT_EQ(z.y, 0.0f);
    EXPECT_EQ(z.z, 0.0f);
    const MeshNormal n = velunar::mesh::Normalize(MeshNormal{3, 0, 4});
    EXPECT_FLOAT_EQ(n.x, 0.6f);
    EXPECT_FLOAT_EQ(n.z, 0.8f);
}

}  // namespace
