// vertex.h - the screen-space vertex formats: pre-transformed position and colour, with or
// without one set of texture coordinates.
// Depends on: nothing.
#pragma once

#include <cstdint>

// x, y in back-buffer pixels, z depth 0..1, rhw; diffuse ARGB. FVF XYZRHW | DIFFUSE (0x44).
struct MYVERTEX {
    float x, y, z, rhw;
    std::uint32_t color;
};
static_assert(sizeof(MYVERTEX) == 20);
constexpr std::uint32_t D3DFVF_MYVERTEX = 0x44;

// MYVERTEX plus u, v. FVF XYZRHW | DIFFUSE | TEX1 (0x144).
struct FLATVERTEX {
    float x, y, z, rhw;
    std::uint32_t color;
    float u, v;
};
static_assert(sizeof(FLATVERTEX) == 28);
constexpr std::uint32_t D3DFVF_FLATVERTEX = 0x144;
