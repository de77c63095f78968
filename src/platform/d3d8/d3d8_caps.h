// d3d8_caps.h - what the device reports about itself: the capabilities of the subset of Direct3D 8
// fixed function it implements.
// Depends on: d3d8types.h.
#pragma once

#include "platform/d3d8/d3d8types.h"

namespace velunar::d3d8 {

void FillCaps(D3DCAPS8* caps);

}  // namespace velunar::d3d8
