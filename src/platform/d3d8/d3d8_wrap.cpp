// d3d8_wrap.cpp - which draws' wrapped coordinates stay where they are.
#include "platform/d3d8/d3d8_wrap.h"

#include <cmath>
#include <cstring>

namespace velunar::d3d8 {

bool WrapMovesNothing(const ProgramKey& key, DWORD fvf, D3DPRIMITIVETYPE type, const DrawVertices& v) {
    if (!key.triangles || v.count < 3) return false;
    const bool rhw = (fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW;
    const int sets = static_cast<int>((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
    UINT setOffset[8] = {};
    UINT at = PositionFloats(fvf) * 4 + ((fvf & D3DFVF_NORMAL) ? 12 : 0) + ((fvf & D3DFVF_PSIZE) ? 4 : 0) +
              ((fvf & D3DFVF_DIFFUSE) ? 4 : 0) + ((fvf & D3DFVF_SPECULAR) ? 4 : 0);
    for (int i = 0; i < sets && i < 8; ++i) setOffset[i] = at, at += TexCoordFloats(fvf, i) * 4;
    // The (offset, axis mask) of each wrapped coordinate set, as the vertex program reads it.
    struct Wrapped {
        UINT offset;
        uint8_t axes;
    } wrapped[kMaxStages];
    int n = 0;
    bool wraps = false;
    for (const StageKey& s : key.stages) {
        if (!s.colorOp || !s.wrap) continue;
        wraps = true;
        // Generated coordinates and a texture matrix are made in the vertex program: not followed here.
        if ((s.transformCount || s.texGen) && !rhw) return false;
        if (s.coordSet >= sets) continue;  // a constant (0, 0): nothing to move
        const UINT floats = TexCoordFloats(fvf, s.coordSet);
        const uint8_t axes = static_cast<uint8_t>(s.wrap & (floats >= 2 ? 3 : 1));
        if (setOffset[s.coordSet] + floats * 4 > v.stride) return false;
        wrapped[n++] = {setOffset[s.coordSet], axes};
    }
    // Every wrapped stage reads the constant of a set the vertices lack (untextured rectangles drawn
    // while a grid's wrap is still set).
    if (n == 0) return wraps;

    auto vertex = [&](UINT i) -> const BYTE* {
        const int64_t k = VertexNumber(v, i);
        if (k < 0 || (static_cast<uint64_t>(k) + 1) * v.stride > v.bytes) return nullptr;
        return v.data + static_cast<size_t>(k) * v.stride;
    };
    // round() leaves a difference below one half at zero (NaN and infinity fail the test).
    auto near = [&](const BYTE* a, const BYTE* b) {
        for (int w = 0; w < n; ++w)
            for (int axis = 0; axis < 2; ++axis) {
                if (!(wrapped[w].axes & (1 << axis))) continue;
                float fa, fb;
                std::memcpy(&fa, a + wrapped[w].offset + 4 * axis, 4);
                std::memcpy(&fb, b + wrapped[w].offset + 4 * axis, 4);
                if (!(std::fabs(fb - fa) < 0.5f)) return false;
            }
        return true;
    };
    const UINT triangles = type == D3DPT_TRIANGLELIST ? v.count / 3 : v.count - 2;
    for (UINT t = 0; t < triangles; ++t) {
        UINT i0, i1, i2;
        switch (type) {
            case D3DPT_TRIANGLELIST: i0 = 3 * t, i1 = i0 + 1, i2 = i0 + 2; break;
            // Odd strip triangles come with their first two vertices swapped.
            case D3DPT_TRIANGLESTRIP: i0 = t + (t & 1), i1 = t + 1 - (t & 1), i2 = t + 2; break;
            // Which fan vertex comes first is the GL's choice: all three pairs are checked.
            case D3DPT_TRIANGLEFAN: i0 = 0, i1 = t + 1, i2 = t + 2; break;
            default: return false;
        }
        const BYTE *a = vertex(i0), *b = vertex(i1), *c = vertex(i2);
        if (!a || !b || !c || !near(a, b) || !near(a, c)) return false;
        if (type == D3DPT_TRIANGLEFAN && !near(b, c)) return false;
    }
    return true;
}

void DropWraps(ProgramKey& key) {
    for (StageKey& s : key.stages) s.wrap = 0;
}

}  // namespace velunar::d3d8
