// d3d8_gl.cpp - the GL error check of debug builds.
#include "platform/d3d8/d3d8_gl.h"

#include <cstdio>

namespace velunar::d3d8 {

void CheckGlError(const char* what, const char* file, int line) {
    for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError())
        std::fprintf(stderr, "d3d8: GL error 0x%04x after %s (%s:%d)\n", e, what, file, line);
}

}  // namespace velunar::d3d8
