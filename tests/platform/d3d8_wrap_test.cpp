// Wrapped coordinates that need no moving: which draws keep the geometry stage (a coordinate half
// a unit or more from its triangle's first vertex's, in lists, strips with their odd triangles
// swapped and fans; a texture matrix; vertices out of range). The pixels are checked beside the
// seam test of the pipeline.
#include <limits>
#include <vector>

#include "d3d8_fixture.h"
#include "platform/d3d8/d3d8_wrap.h"

namespace d3d8test {
namespace {

using velunar::d3d8::DrawVertices;
using velunar::d3d8::ProgramKey;
using velunar::d3d8::WrapMovesNothing;

struct WrapCase {
    ProgramKey key;
    std::vector<TexturedVertex> v;
    bool Moves(D3DPRIMITIVETYPE type, const std::vector<uint16_t>& idx = {}) const {
        DrawVertices d{reinterpret_cast<const BYTE*>(v.data()), v.size() * sizeof(TexturedVertex),
                       sizeof(TexturedVertex), idx.empty() ? nullptr : reinterpret_cast<const BYTE*>(idx.data()),
                       2, 0, static_cast<UINT>(idx.empty() ? v.size() : idx.size()), 0};
        return !WrapMovesNothing(key, kTexturedFvf, type, d);
    }
};

WrapCase Case(std::initializer_list<float> us) {
    WrapCase c;
    c.key.fvf = static_cast<uint16_t>(kTexturedFvf);
    c.key.triangles = 1;
    c.key.stages[0].colorOp = D3DTOP_SELECTARG1;
    c.key.stages[0].wrap = D3DWRAP_U;
    for (float u : us) c.v.push_back({0, 0, 0.5f, 1, 0xffffffff, u, 0});
    return c;
}

TEST(WrapRule, OnlyTrianglesWithACoordinateHalfAUnitAwayKeepTheStage) {
    EXPECT_FALSE(Case({0.1f, 0.5f, 0.59f}).Moves(D3DPT_TRIANGLELIST));
    EXPECT_TRUE(Case({0.1f, 0.5f, 0.6f}).Moves(D3DPT_TRIANGLELIST));  // round(0.5) may move it
    EXPECT_TRUE(Case({0.1f, 0.5f, std::numeric_limits<float>::quiet_NaN()}).Moves(D3DPT_TRIANGLELIST));
    // Second and third vertices are never compared with each other in a list...
    EXPECT_FALSE(Case({0.5f, 0.1f, 0.9f}).Moves(D3DPT_TRIANGLELIST));
    // ...but a strip's odd triangle starts at its second vertex: (0.9, 0.5, 0.1) moves 0.1.
    EXPECT_TRUE(Case({0.5f, 0.1f, 0.9f, 0.5f}).Moves(D3DPT_TRIANGLESTRIP));
    EXPECT_FALSE(Case({0.5f, 0.1f, 0.5f, 0.5f}).Moves(D3DPT_TRIANGLESTRIP));
    EXPECT_TRUE(Case({0.5f, 0.1f, 0.9f}).Moves(D3DPT_TRIANGLEFAN));
    // Through indices, and an index past the vertices.
    EXPECT_TRUE(Case({0.0f, 0.2f, 0.9f}).Moves(D3DPT_TRIANGLELIST, {0, 1, 2}));
    EXPECT_FALSE(Case({0.0f, 0.2f, 0.9f}).Moves(D3DPT_TRIANGLELIST, {0, 1, 0}));
    EXPECT_TRUE(Case({0.0f, 0.2f, 0.3f}).Moves(D3DPT_TRIANGLELIST, {0, 1, 3}));
    // Only the wrapped axis counts; a texture matrix moves coordinates first, so the stage stays.
    WrapCase v = Case({0.1f, 0.2f, 0.3f});
    v.v[2].v = 5;
    EXPECT_FALSE(v.Moves(D3DPT_TRIANGLELIST));
    v.key.stages[0].wrap = D3DWRAP_V;
    EXPECT_TRUE(v.Moves(D3DPT_TRIANGLELIST));
    WrapCase m = Case({0.1f, 0.2f, 0.3f});
    m.key.fvf = static_cast<uint16_t>(kMeshFvf);
    m.key.stages[0].transformCount = 2;
    std::vector<MeshVertex> mesh(3);
    DrawVertices d{reinterpret_cast<const BYTE*>(mesh.data()), 3 * sizeof(MeshVertex), sizeof(MeshVertex), nullptr,
                   2, 0, 3, 0};
    EXPECT_FALSE(WrapMovesNothing(m.key, kMeshFvf, D3DPT_TRIANGLELIST, d));
    m.key.stages[0].transformCount = 0;
    EXPECT_TRUE(WrapMovesNothing(m.key, kMeshFvf, D3DPT_TRIANGLELIST, d));
    // Coordinates the vertex program generates are not the vertices' to read.
    m.key.stages[0].texGen = 1;
    EXPECT_FALSE(WrapMovesNothing(m.key, kMeshFvf, D3DPT_TRIANGLELIST, d));
}

TEST(WrapRule, VerticesWithoutCoordinatesMoveNothingUnderAWrap) {
    // A rectangle drawn while a grid's wrap is still set reads the constant (0, 0).
    std::vector<ScreenVertex> rect(6);
    DrawVertices d{reinterpret_cast<const BYTE*>(rect.data()), rect.size() * sizeof(ScreenVertex), sizeof(ScreenVertex),
                   nullptr, 2, 0, 6, 0};
    WrapCase c = Case({});
    c.key.fvf = static_cast<uint16_t>(kScreenFvf);
    EXPECT_TRUE(WrapMovesNothing(c.key, kScreenFvf, D3DPT_TRIANGLELIST, d));
    c.key.stages[0].wrap = 0;  // and without a wrap there is no stage to leave out
    EXPECT_FALSE(WrapMovesNothing(c.key, kScreenFvf, D3DPT_TRIANGLELIST, d));
}

}  // namespace
}  // namespace d3d8test
