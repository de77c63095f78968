// d3d8_warn.h - the paths the device does not carry out, each with a stable identity, and the
// once-only warning that names them on stderr.
// Depends on: nothing.
#pragma once

namespace velunar::d3d8 {

// What the device meets but does not do (the show never asks for these), each with the line its
// warning writes: one row per path, read by the enum below and by the texts.
#define VELUNAR_D3D8_UNIMPLEMENTED(ROW)                                                                   \
    ROW(StencilTest, "d3d8: the stencil test is not carried out")                                         \
    ROW(Fog, "d3d8: fog is not drawn")                                                                    \
    ROW(PointSpotLights, "d3d8: point and spot lights are lit as directional lights")                     \
    ROW(TextureOp, "d3d8: a texture op without an equivalent here (bump mapping, premodulate) selects arg1") \
    ROW(ProgramBuild, "d3d8: a fixed-function program failed to build; its draws are skipped")

enum class Unimplemented : int {
#define VELUNAR_D3D8_ID(id, text) id,
    VELUNAR_D3D8_UNIMPLEMENTED(VELUNAR_D3D8_ID)
#undef VELUNAR_D3D8_ID
    Count
};

// Writes the warning of `what` to stderr the first time it is met in the process.
void WarnOnce(Unimplemented what);
// True once the warning of `what` has been written.
bool Warned(Unimplemented what);
// The line WarnOnce writes for `what`.
const char* WarningText(Unimplemented what);

}  // namespace velunar::d3d8
