// d3d8_wrap.h - wrapped texture coordinates that need no moving. A wrapping stage moves each
// triangle's coordinates by whole units to within half a unit of its first vertex's, which takes a
// geometry stage on the GPU; when no triangle of a draw has a coordinate that far, the moves are all
// zero and the program without that stage draws the very same pixels, cheaper on llvmpipe.
// Depends on: d3d8.h, d3d8_fixed_function.h (the program key), d3d8_no_op_draws.h (DrawVertices).
#pragma once

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/d3d8_fixed_function.h"
#include "platform/d3d8/d3d8_no_op_draws.h"

namespace velunar::d3d8 {

// True when the key wraps some stage and no triangle of the draw needs its coordinates moved: every
// wrapped coordinate lies within less than 0.5 of its triangle's first vertex's.
bool WrapMovesNothing(const ProgramKey& key, DWORD fvf, D3DPRIMITIVETYPE type, const DrawVertices& v);

// The key without its wraps (the program then has no geometry stage).
void DropWraps(ProgramKey& key);

}  // namespace velunar::d3d8
