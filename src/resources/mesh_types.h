// mesh_types.h - the mesh records shared by the file reader, cObject and the vertex buffer.
// Depends on: nothing but the base types.
#pragma once

#include "platform/wintypes.h"

// One vertex in memory and in the vertex buffer: FVF XYZ | NORMAL | TEX1 (0x112).
struct MeshVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};
static_assert(sizeof(MeshVertex) == 32);
constexpr DWORD D3DFVF_MESHVERTEX = 0x112;

struct MeshFace {
    WORD a, b, c;
};
static_assert(sizeof(MeshFace) == 6);

struct MeshNormal {
    float x, y, z;
};
