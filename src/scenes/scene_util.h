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
// The grid passes of fx04 and fx05: no culling, u wrapping, source-alpha blending, colour the
// texture times the vertex colour, alpha the vertex colour's.
void SetModulatedGridStates();
// The band's picture laid over the frame: its colour from the texture, its opacity the quad's alpha
// (only the low eight bits of alpha count).
void DrawBandOver(CImageQuad& band, const char* texture, DWORD alpha);
// A record of random points nothing reads: only its three draws per point matter, to the scene
// inits that continue the sequence.
void DiscardRandomPoints(int points);
// Every live vertex in grid column c gets colourOf(c); rowColourOf is the same for rows.
template <class F>
void SetGridColumnColours(fx& grid, F colourOf) {
    FLATVERTEX* v = grid.Live();
    if (!v) return;
    for (unsigned r = 0; r < grid.Rows(); ++r)
        for (unsigned c = 0; c < grid.Columns(); ++c) v[r * grid.Columns() + c].color = colourOf(static_cast<int>(c));
}
template <class F>
void SetGridRowColours(fx& grid, F colourOf) {
    FLATVERTEX* v = grid.Live();
    if (!v) return;
    for (unsigned r = 0; r < grid.Rows(); ++r) {
        const std::uint32_t colour = colourOf(static_cast<int>(r));
        for (unsigned c = 0; c < grid.Columns(); ++c) v[r * grid.Columns() + c].color = colour;
    }
}
