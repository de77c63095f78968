// mesh_file.cpp - the binary mesh file reader and the normal computation.
#include "resources/mesh_file.h"
#include "core/data_root.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace velunar::mesh {
namespace {

constexpr std::size_t kHeaderBytes = 16;
constexpr std::size_t kVertexBytes = 20;
constexpr std::size_t kFaceBytes = 12;

std::uint32_t ReadU32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

float ReadF32(const unsigned char* p) {
    const std::uint32_t bits = ReadU32(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

void Fail(std::string* reason, std::string text) {
    if (reason) *reason = std::move(text);
}

}  // namespace

bool ParseMesh(const unsigned char* data, std::size_t size, MeshData& out, std::string* reason) {
    out.vertices.clear();
    out.faces.clear();
    if (!data || size < kHeaderBytes) {
        Fail(reason, "the file is shorter than its header");
        return false;
    }
    const std::uint64_t vertexCount = ReadU32(data + 8);
    const std::uint64_t faceCount = ReadU32(data + 12);
    const std::uint64_t needed = kHeaderBytes + vertexCount * kVertexBytes + faceCount * kFaceBytes;
    if (needed > size) {
        Fail(reason, "its counts (" + std::to_string(vertexCount) + " vertices, " + std::to_string(faceCount) +
                         " faces) need " + std::to_string(needed) + " bytes, the file has " + std::to_string(size));
        return false;
    }
    out.vertices.resize(static_cast<std::size_t>(vertexCount));
    const unsigned char* p = data + kHeaderBytes;
    for (auto& v : out.vertices) {
        v.x = ReadF32(p);
        v.y = ReadF32(p + 4);
        v.z = ReadF32(p + 8);
        v.u = ReadF32(p + 12);
        v.v = ReadF32(p + 16);
        v.nx = v.ny = v.nz = 0.0f;
        p += kVertexBytes;
    }
    out.faces.resize(static_cast<std::size_t>(faceCount));
    for (std::size_t i = 0; i < out.faces.size(); ++i) {
        // 16-bit index buffers: only the low half of each stored index counts.
        WORD idx[3];
        for (int k = 0; k < 3; ++k) {
            idx[k] = static_cast<WORD>(ReadU32(p + 4 * k) & 0xffffu);
            if (idx[k] >= vertexCount) {
                Fail(reason, "face " + std::to_string(i) + " names vertex " + std::to_string(idx[k]) + " of " +
                                 std::to_string(vertexCount));
                out.vertices.clear();
                out.faces.clear();
                return false;
            }
        }
        out.faces[i] = MeshFace{idx[0], idx[1], idx[2]};
        p += kFaceBytes;
    }
    return true;
}

bool ReadMeshFile(const char* path, MeshData& out, std::string* reason) {
    std::FILE* f = std::fopen(DataPath(path).c_str(), "rb");
    if (!f) {
        Fail(reason, "the file cannot be opened");
        return false;
    }
    std::vector<unsigned char> bytes;
    unsigned char chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(f);
    return ParseMesh(bytes.data(), bytes.size(), out, reason);
}

MeshNormal Normalize(MeshNormal n) {
    const float len = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (len == 0.0f) return MeshNormal{0.0f, 0.0f, 0.0f};
    const float inv = 1.0f / len;
    return MeshNormal{n.x * inv, n.y * inv, n.z * inv};
}

void ComputeNormals(MeshVertex* vertices, unsigned vertexCount, const MeshFace* faces, unsigned faceCount,
                    MeshNormal* faceNormals) {
    std::vector<MeshNormal> sums(vertexCount, MeshNormal{0.0f, 0.0f, 0.0f});
    std::vector<unsigned> counts(vertexCount, 0);
    for (unsigned f = 0; f < faceCount; ++f) {
        const MeshFace& face = faces[f];
        const MeshVertex& p = vertices[face.a];
        const MeshVertex& q = vertices[face.b];
        const MeshVertex& r = vertices[face.c];
        const float e1x = p.x - q.x, e1y = p.y - q.y, e1z = p.z - q.z;
        const float e2x = q.x - r.x, e2y = q.y - r.y, e2z = q.z - r.z;
        const MeshNormal n = Normalize(MeshNormal{e1y * e2z - e1z * e2y, e1z * e2x - e1x * e2z, e1x * e2y - e1y * e2x});
        faceNormals[f] = n;
        const WORD ids[3] = {face.a, face.b, face.c};
        for (int k = 0; k < 3; ++k) {
            // A face that names a vertex twice contributes to it once.
            if ((k >= 1 && ids[k] == ids[0]) || (k == 2 && ids[2] == ids[1])) continue;
            MeshNormal& s = sums[ids[k]];
            s.x += n.x;
            s.y += n.y;
            s.z += n.z;
            ++counts[ids[k]];
        }
    }
    for (unsigned i = 0; i < vertexCount; ++i) {
        MeshNormal s = sums[i];
        if (counts[i] > 0) {
            const float inv = 1.0f / static_cast<float>(counts[i]);
            s = MeshNormal{s.x * inv, s.y * inv, s.z * inv};
        }
        const MeshNormal n = Normalize(s);
        vertices[i].nx = n.x;
        vertices[i].ny = n.y;
        vertices[i].nz = n.z;
    }
}

}  // namespace velunar::mesh
