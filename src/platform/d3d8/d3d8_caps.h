// d3d8_caps.h - what the device reports about itself, and the warnings helpers' home.
// Depends on: d3d8types.h.
#pragma once

#include "platform/d3d8/d3d8types.h"

namespace velunar::d3d8 {

// The capabilities of our device: the subset of Direct3D 8 fixed function that it implements.
void FillCaps(D3DCAPS8* caps);

// True while D3D8_SetSkipDraws(true) is in force.
bool SkipDraws();

}  // namespace velunar::d3d8
