// scene_util.h - small vertex-colour rewrites the scenes apply to a grid's live array.
// Depends on: the grid effect.
#pragma once

#include "fx/grid.h"
#include "scenes/scene_math.h"

#include <cstdint>

// Every live vertex gets colour argb.
void SetGridColour(fx& grid, std::uint32_t argb);
// Every live vertex becomes white with a quarter of its alpha.
void QuarterGridAlpha(fx& grid);
