// scene_util.h - small vertex-colour rewrites the scenes apply to a grid's live array.
// Depends on: the grid effect.
#pragma once

#include "fx/grid.h"
#include "render/image_quad.h"
#include "scenes/scene_math.h"

#include <cstdint>

// The band's still picture: bound with wrapping off, blended by its own alpha, fully opaque.
void DrawBandPicture(CImageQuad& band, const char* texture);
// Translucent grid passes over it: no culling, u wrapping, source-alpha blending with the
// alpha from the vertex colour, the grid's texture bound.
void SetTranslucentGridStates(const char* texture);
// Every live vertex gets colour argb.
void SetGridColour(fx& grid, std::uint32_t argb);
// Every live vertex becomes white with a quarter of its alpha.
void QuarterGridAlpha(fx& grid);
