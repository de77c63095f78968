// libFuzzer target for the mesh reader: any bytes either parse into a mesh whose every face names
// existing vertices (normals computed without reading outside the arrays) or are refused.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "resources/mesh_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velunar::mesh::MeshData mesh;
    if (!velunar::mesh::ParseMesh(data, size, mesh, nullptr)) {
        if (!mesh.vertices.empty() || !mesh.faces.empty()) std::abort();
        return 0;
    }
    for (const MeshFace& f : mesh.faces)
        if (f.a >= mesh.vertices.size() || f.b >= mesh.vertices.size() || f.c >= mesh.vertices.size()) std::abort();
    std::vector<MeshNormal> faceNormals(mesh.faces.size());
    velunar::mesh::ComputeNormals(mesh.vertices.data(), static_cast<unsigned>(mesh.vertices.size()), mesh.faces.data(),
                                  static_cast<unsigned>(mesh.faces.size()), faceNormals.data());
    return 0;
}
