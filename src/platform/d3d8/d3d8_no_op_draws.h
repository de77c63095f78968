// d3d8_no_op_draws.h - recognises draws that cannot change their target: nothing written (colour
// and depth writes off), everything blended away (the source counts zero and the target one), or
// pre-transformed triangles without area. Skipping them leaves every pixel as it is and saves the
// rasteriser their fragments.
// Depends on: d3d8.h, d3d8_fixed_function.h (the program key), d3d8_state.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/d3d8_fixed_function.h"
#include "platform/d3d8/d3d8_state.h"

namespace velunar::d3d8 {

// The vertices a draw reads: vertex i is the (indices ? indices[i] : first + i) + base'th vertex
// of `bytes` bytes at data, `stride` apart.
struct DrawVertices {
    const BYTE* data = nullptr;
    size_t bytes = 0;
    UINT stride = 0;
    const BYTE* indices = nullptr;
    UINT indexSize = 2;
    UINT first = 0;
    UINT count = 0;
    int64_t base = 0;
};

// The number of the draw's i'th vertex in `data` (not yet checked against its size).
inline int64_t VertexNumber(const DrawVertices& v, UINT i) {
    int64_t n = v.first + i;
    if (v.indices)
        n = v.indexSize == 4 ? reinterpret_cast<const uint32_t*>(v.indices)[i]
                             : reinterpret_cast<const uint16_t*>(v.indices)[i];
    return n + v.base;
}

// True when drawing these vertices with this state and program key leaves the target's colour,
// depth and stencil exactly as they are.
bool DrawChangesNothing(const DeviceState& state, const ProgramKey& key, D3DPRIMITIVETYPE type, const DrawVertices& v);

}  // namespace velunar::d3d8
