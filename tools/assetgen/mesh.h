// mesh.h - triangle meshes and the show's binary mesh files.
// File layout (little-endian): two unused words, vertex count, face count, then per vertex
// x, y, z, u, v as floats and per face three 32-bit indices.
// Depends on: the C++ standard library only.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

struct Vec3 {
    float x = 0, y = 0, z = 0;
};
Vec3 operator+(Vec3 a, Vec3 b);
Vec3 operator-(Vec3 a, Vec3 b);
Vec3 operator*(Vec3 a, float s);
Vec3 Cross(Vec3 a, Vec3 b);
float Dot(Vec3 a, Vec3 b);
float Length(Vec3 a);
Vec3 Normalise(Vec3 a);

struct Mesh {
    std::vector<Vec3> pos;
    std::vector<std::array<float, 2>> uv;
    std::vector<std::array<uint32_t, 3>> faces;

    void Append(const Mesh& other);
};

// The normal the loader derives for face (P, Q, R): (P - Q) x (Q - R), unnormalised.
Vec3 LoaderFaceNormal(const Mesh& m, size_t face);
// Sum over faces of P . (Q x R) / 6: negative when the loader's normals point into the solid.
double SignedVolume(const Mesh& m);
// Reverses every face's winding.
void FlipWinding(Mesh& m);

bool WriteObj(const std::string& path, const Mesh& m);
// Reads a file written by WriteObj (the indices as stored); false when short or unreadable.
bool ReadObj(const std::string& path, Mesh& m);

// Generators. Sizes are world units at scale 1; each comment says what the scene's camera needs.
Mesh MakeBlob();        // 2.obj
Mesh MakeGeo(int n);    // geo1.obj ... geo3.obj
Mesh MakeFoil();        // foil.obj
Mesh MakeKnot();        // 1.obj
Mesh MakeSys();         // sys.obj
Mesh MakeOrnament();    // 5.obj
Mesh MakeRing();        // ring.obj
Mesh MakeFlower();      // flower.obj

struct MeshAsset {
    std::string file;
    Mesh (*make)();
};
std::vector<MeshAsset> MeshAssets();

}  // namespace assetgen
