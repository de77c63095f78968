// d3d8_no_op_draws.cpp - which draws leave their target exactly as it was. The alpha the program
// writes is followed through the texture stages as the generated fragment program computes it,
// knowing only what is certain: an alpha is zero, zero wherever the vertices' diffuse alpha is,
// or not known to be zero.
#include "platform/d3d8/d3d8_no_op_draws.h"

#include <cstring>

namespace velunar::d3d8 {
namespace {

enum class Zero { kNo, kYes, kWithDiffuse };

Zero Both(Zero a, Zero b) {  // zero when both are
    if (a == Zero::kNo || b == Zero::kNo) return Zero::kNo;
    return a == Zero::kYes && b == Zero::kYes ? Zero::kYes : Zero::kWithDiffuse;
}

Zero Either(Zero a, Zero b) {  // zero when either is
    if (a == Zero::kYes || b == Zero::kYes) return Zero::kYes;
    return a == Zero::kWithDiffuse || b == Zero::kWithDiffuse ? Zero::kWithDiffuse : Zero::kNo;
}

struct Inputs {
    Zero diffuse, specular, tfactor;
};

Zero ArgAlpha(uint8_t arg, Zero cur, Zero temp, const Inputs& in) {
    if (arg & D3DTA_COMPLEMENT) return Zero::kNo;
    switch (arg & D3DTA_SELECTMASK) {
        case D3DTA_DIFFUSE: return in.diffuse;
        case D3DTA_CURRENT: return cur;
        case D3DTA_TEXTURE: return Zero::kNo;  // a texture's alpha, or 1 without one
        case D3DTA_TFACTOR: return in.tfactor;
        case D3DTA_SPECULAR: return in.specular;
        case D3DTA_TEMP: return temp;
        default: return Zero::kYes;  // the program reads 0 for an unknown argument
    }
}

// The alpha of the colour the program writes.
Zero OutputAlpha(const DeviceState& state, const ProgramKey& key) {
    const DWORD fvf = state.vertexShader;
    Inputs in{};
    if (key.lighting) {
        in.diffuse = key.diffuseSource == 0 ? (state.material.Diffuse.a == 0.0f ? Zero::kYes : Zero::kNo)
                     : key.diffuseSource == 1 ? Zero::kWithDiffuse
                                              : Zero::kNo;
        in.specular = Zero::kYes;
    } else {
        in.diffuse = (fvf & D3DFVF_DIFFUSE) ? Zero::kWithDiffuse : Zero::kNo;
        in.specular = (fvf & D3DFVF_SPECULAR) ? Zero::kNo : Zero::kYes;
    }
    in.tfactor = (state.renderStates[D3DRS_TEXTUREFACTOR] >> 24) == 0 ? Zero::kYes : Zero::kNo;
    Zero cur = in.diffuse, temp = Zero::kYes;
    for (const StageKey& st : key.stages) {
        if (!st.colorOp) break;
        Zero a = cur;
        if (st.alphaOp != D3DTOP_DISABLE && st.alphaOp != 0) {
            const Zero p1 = ArgAlpha(st.alphaArg[1], cur, temp, in);
            const Zero p2 = ArgAlpha(st.alphaArg[2], cur, temp, in);
            switch (st.alphaOp) {
                case D3DTOP_SELECTARG1: a = p1; break;
                case D3DTOP_SELECTARG2: a = p2; break;
                case D3DTOP_MODULATE:
                case D3DTOP_MODULATE2X:
                case D3DTOP_MODULATE4X: a = Either(p1, p2); break;
                case D3DTOP_ADD: a = Both(p1, p2); break;
                default: a = Zero::kNo; break;
            }
        }
        (st.resultTemp ? temp : cur) = a;
    }
    return cur;
}

// Calls f(vertex bytes) for each vertex the draw reads; false when one lies outside the data or f
// says stop.
template <typename F>
bool EachVertex(const DrawVertices& v, F&& f) {
    for (UINT i = 0; i < v.count; ++i) {
        const int64_t n = VertexNumber(v, i);
        if (n < 0 || (static_cast<uint64_t>(n) + 1) * v.stride > v.bytes) return false;
        if (!f(v.data + static_cast<size_t>(n) * v.stride)) return false;
    }
    return true;
}

UINT DiffuseOffset(DWORD fvf) {
    return PositionFloats(fvf) * 4 + ((fvf & D3DFVF_NORMAL) ? 12 : 0) + ((fvf & D3DFVF_PSIZE) ? 4 : 0);
}

bool AllDiffuseAlphaZero(const DrawVertices& v, DWORD fvf) {
    const UINT at = DiffuseOffset(fvf) + 3;  // 0xAARRGGBB, little-endian: alpha is the fourth byte
    if (at >= v.stride) return false;
    return EachVertex(v, [&](const BYTE* p) { return p[at] == 0; });
}

// Filled triangles of pre-transformed vertices all on one row or one column, with one rhw (so the
// division by w moves them all alike): no triangle has area, and none covers a pixel.
bool NoArea(const DeviceState& state, D3DPRIMITIVETYPE type, const DrawVertices& v) {
    if ((state.vertexShader & D3DFVF_POSITION_MASK) != D3DFVF_XYZRHW || v.stride < 16) return false;
    if (type != D3DPT_TRIANGLELIST && type != D3DPT_TRIANGLESTRIP && type != D3DPT_TRIANGLEFAN) return false;
    if (state.renderStates[D3DRS_FILLMODE] != D3DFILL_SOLID) return false;
    float first[4];
    bool have = false, sameX = true, sameY = true;
    const bool allRead = EachVertex(v, [&](const BYTE* p) {
        float q[4];
        std::memcpy(q, p, sizeof q);
        if (!have) {
            std::memcpy(first, q, sizeof q);
            have = true;
            return true;
        }
        if (std::memcmp(&q[3], &first[3], 4) != 0) return false;
        sameX = sameX && q[0] == first[0];
        sameY = sameY && q[1] == first[1];
        return sameX || sameY;
    });
    return allRead && have && (sameX || sameY);
}

}  // namespace

bool DrawChangesNothing(const DeviceState& state, const ProgramKey& key, D3DPRIMITIVETYPE type, const DrawVertices& v) {
    const DWORD* rs = state.renderStates.data();
    // Depth or stencil may be written whatever the colour does.
    if (rs[D3DRS_STENCILENABLE] || (rs[D3DRS_ZENABLE] != D3DZB_FALSE && rs[D3DRS_ZWRITEENABLE])) return false;
    if ((rs[D3DRS_COLORWRITEENABLE] & 0xf) == 0) return true;
    if (NoArea(state, type, v)) return true;
    if (!rs[D3DRS_ALPHABLENDENABLE] || rs[D3DRS_BLENDOP] != D3DBLENDOP_ADD) return false;
    // The target keeps its colour when the source counts zero and the target one: a zero factor,
    // or the source alpha where that alpha is zero.
    DWORD src = rs[D3DRS_SRCBLEND], dst = rs[D3DRS_DESTBLEND];
    if (src == D3DBLEND_BOTHSRCALPHA) src = D3DBLEND_SRCALPHA, dst = D3DBLEND_INVSRCALPHA;
    const bool srcZero = src == D3DBLEND_ZERO, dstOne = dst == D3DBLEND_ONE;
    if ((!srcZero && src != D3DBLEND_SRCALPHA) || (!dstOne && dst != D3DBLEND_INVSRCALPHA)) return false;
    if (srcZero && dstOne) return true;
    switch (OutputAlpha(state, key)) {
        case Zero::kYes: return true;
        case Zero::kWithDiffuse: return AllDiffuseAlphaZero(v, state.vertexShader);
        default: return false;
    }
}

}  // namespace velunar::d3d8
