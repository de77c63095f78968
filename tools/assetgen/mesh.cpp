// mesh.cpp - mesh arithmetic and the binary mesh file.
#include "mesh.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

namespace assetgen {

Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float Length(Vec3 a) { return std::sqrt(Dot(a, a)); }
Vec3 Normalise(Vec3 a) {
    float l = Length(a);
    return l > 0 ? a * (1 / l) : a;
}

void Mesh::Append(const Mesh& other) {
    uint32_t base = static_cast<uint32_t>(pos.size());
    pos.insert(pos.end(), other.pos.begin(), other.pos.end());
    uv.insert(uv.end(), other.uv.begin(), other.uv.end());
    for (auto f : other.faces) faces.push_back({f[0] + base, f[1] + base, f[2] + base});
}

Vec3 LoaderFaceNormal(const Mesh& m, size_t face) {
    const auto& f = m.faces[face];
    Vec3 p = m.pos[f[0]], q = m.pos[f[1]], r = m.pos[f[2]];
    return Cross(p - q, q - r);
}

double SignedVolume(const Mesh& m) {
    double v = 0;
    for (const auto& f : m.faces) v += Dot(m.pos[f[0]], Cross(m.pos[f[1]], m.pos[f[2]]));
    return v / 6;
}

void FlipWinding(Mesh& m) {
    for (auto& f : m.faces) std::swap(f[1], f[2]);
}

namespace {
struct FileCloser {
    void operator()(FILE* f) const { if (f) std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void PutF32(std::vector<uint8_t>& out, float f) {
    uint32_t v;
    static_assert(sizeof v == sizeof f);
    std::memcpy(&v, &f, 4);
    PutU32(out, v);
}
uint32_t GetU32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
}  // namespace

bool WriteObj(const std::string& path, const Mesh& m) {
    std::vector<uint8_t> out;
    out.reserve(16 + m.pos.size() * 20 + m.faces.size() * 12);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, static_cast<uint32_t>(m.pos.size()));
    PutU32(out, static_cast<uint32_t>(m.faces.size()));
    for (size_t i = 0; i < m.pos.size(); ++i) {
        PutF32(out, m.pos[i].x);
        PutF32(out, m.pos[i].y);
        PutF32(out, m.pos[i].z);
        PutF32(out, m.uv[i][0]);
        PutF32(out, m.uv[i][1]);
    }
    for (const auto& f : m.faces)
        for (uint32_t idx : f) PutU32(out, idx);
    FilePtr file(std::fopen(path.c_str(), "wb"));
    return file && std::fwrite(out.data(), 1, out.size(), file.get()) == out.size();
}

bool ReadObj(const std::string& path, Mesh& m) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    std::vector<uint8_t> data;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, file.get())) > 0) data.insert(data.end(), buf, buf + n);
    if (data.size() < 16) return false;
    uint64_t v = GetU32(&data[8]), f = GetU32(&data[12]);
    if (data.size() != 16 + v * 20 + f * 12) return false;
    m = Mesh{};
    const uint8_t* p = data.data() + 16;
    auto flt = [&](const uint8_t* q) {
        uint32_t u = GetU32(q);
        float x;
        std::memcpy(&x, &u, 4);
        return x;
    };
    for (uint64_t i = 0; i < v; ++i, p += 20) {
        m.pos.push_back({flt(p), flt(p + 4), flt(p + 8)});
        m.uv.push_back({flt(p + 12), flt(p + 16)});
    }
    for (uint64_t i = 0; i < f; ++i, p += 12) m.faces.push_back({GetU32(p), GetU32(p + 4), GetU32(p + 8)});
    return true;
}

}  // namespace assetgen
