// d3d8_warn.h - the paths the device does not carry out, each with a stable identity, and the
// once-only warning that names them on stderr.
// Depends on: nothing.
#pragma once

namespace velunar::d3d8 {

// What the device meets but does not do; the show never asks for these.
enum class Unimplemented : int {
    StencilTest,      // D3DRS_STENCILENABLE: drawn without the stencil test
    Fog,              // D3DRS_FOGENABLE: drawn without fog
    PointSpotLights,  // point and spot lights: lit as directional lights
    TextureOp,        // bump mapping and premodulate: the stage selects arg1
    ProgramBuild,     // GL rejected a generated program: its draws are skipped
    Count
};

// Writes the warning of `what` to stderr the first time it is met in the process.
void WarnOnce(Unimplemented what);
// True once the warning of `what` has been written.
bool Warned(Unimplemented what);
// The line WarnOnce writes for `what`.
const char* WarningText(Unimplemented what);

}  // namespace velunar::d3d8
