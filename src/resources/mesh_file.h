// mesh_file.h - reading the show's binary mesh files and the per-face and per-vertex normals,
// as pure functions over plain arrays (cObject holds the results and uploads them).
// Depends on: object.h's vertex and face records.
#pragma once

#include <string>
#include <vector>

#include "resources/mesh_types.h"

namespace velunar::mesh {

struct MeshData {
    std::vector<MeshVertex> vertices;  // normals zero until ComputeNormals
    std::vector<MeshFace> faces;
};

// Parses a whole file image. False (with a short reason) when the header is cut short, the
// counts need more bytes than there are, or a face names a vertex that does not exist.
bool ParseMesh(const unsigned char* data, std::size_t size, MeshData& out, std::string* reason);
bool ReadMeshFile(const char* path, MeshData& out, std::string* reason);

// Face normal n = (P - Q) x (Q - R), normalised; vertex normal = the mean of the normals of the
// faces that use it (a face naming it twice counts once), normalised; unused vertices get zero.
// One pass over the faces.
void ComputeNormals(MeshVertex* vertices, unsigned vertexCount, const MeshFace* faces, unsigned faceCount,
                    MeshNormal* faceNormals);

// Normalised copy; the zero vector stays zero.
MeshNormal Normalize(MeshNormal n);

}  // namespace velunar::mesh
