// d3d8_format.h - how each Direct3D 8 surface format is stored in GL: sizes, upload formats and
// the channel swizzles that give X formats an opaque alpha.
// Depends on: d3d8types.h, d3d8_gl.h.
#pragma once

#include "platform/d3d8/d3d8_gl.h"
#include "platform/d3d8/d3d8types.h"

namespace velunar::d3d8 {

struct FormatInfo {
    D3DFORMAT format = D3DFMT_UNKNOWN;
    UINT bytesPerPixel = 0;
    GLenum internalFormat = 0;
    GLenum uploadFormat = 0;
    GLenum uploadType = 0;
    GLint swizzle[4] = {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA};
    bool colour = false;        // can be a texture and a render target's colour
    bool depthStencil = false;  // can be a depth-stencil surface
};

// Null for a format the device does not keep.
const FormatInfo* FindFormat(D3DFORMAT format);

}  // namespace velunar::d3d8
