// d3d8_gl.h - OpenGL access for the Direct3D 8 device: the loader and the debug-only error check.
// Depends on: libepoxy.
#pragma once

#include <epoxy/gl.h>

namespace velunar::d3d8 {

// Reports a GL error raised by the call just made, naming the call's place.
void CheckGlError(const char* what, const char* file, int line);

}  // namespace velunar::d3d8

#ifndef NDEBUG
#define D3D8_GL_CHECK(what) ::velunar::d3d8::CheckGlError(what, __FILE__, __LINE__)
#else
#define D3D8_GL_CHECK(what) ((void)0)
#endif
