// scene_kit.h - what the scenes share: the demo clock and the music as they read them, meshes and
// bands as they build them, the states they set before a grid pass or a sphere-mapped mesh, one
// grid pass, and the vertex-colour rewrites they apply to a grid's live array.
// Depends on: the grid effect, the renderer, cObject, the image quad, the sound library, the
// shared arithmetic.
#pragma once

#include "fx/grid.h"
#include "render/image_quad.h"
#include "resources/object.h"
#include "scenes/scene_kit_math.h"

#include <cstdint>

// ---- What a frame reads ----

// The demo clock's milliseconds as a float: the grids and some animations run on it, not on t.
float DemoMs();
// The music's spectrum this frame (512 bands, 0 ... 1), or null before the analysis runs.
const float* Spectrum();
// SpectrumLevel of this frame's spectrum.
float MusicLevel();

// ---- Built at init ----

// A mesh file with normals, sphere-map coordinates from them, and its buffers filled.
cObject* LoadSphereMapped(const char* file);
// No angles and no turn per Rotate.
void HoldStill(cObject& mesh);
// The picture band from `top` to the band's bottom across the screen, alpha 1, showing the top
// 384 rows of the texture bound now.
CImageQuad* NewBandQuad(int top);
// A record of random points nothing reads: only its three draws per point matter, to the scene
// inits that continue the sequence.
void DiscardRandomPoints(int points);

// ---- Pictures and meshes ----

// The band's picture laid over the frame: its colour from the texture, its opacity the quad's alpha
// (only the low eight bits of alpha count).
void DrawBandOver(CImageQuad& band, const char* texture, DWORD alpha);
// The sphere map's texture matrix: coordinates n * scale + 0.5 (inactive while transforms are off).
void SetSphereMapScale(float scale);
// Colour and alpha from the texture, coordinates from the mesh's own vertices (set from the
// normals at init): the three presets in this order.
void UseVertexSphereMap();
// A sphere-mapped mesh over the frame: the texture bound, blending on, depth off, coordinates
// from the camera-space normals scaled by uvScale, culling `cull`. fx10 culls counter-clockwise
// first and then replaces it: cullFirst, when not 0, is that first value.
void BeginSphereMappedMesh(const char* texture, DWORD cull, float uvScale, DWORD cullFirst = 0);
// The depth test and depth writes back on.
void DepthOn();
// Ordinary alpha blending of the texture times the lit material.
void BlendByMaterial();

// ---- Grid passes ----

// The frame of fx08, fx09 and fx10: cleared to clearColour with depth, the band's still picture,
// then the states of translucent grid passes with gridTexture bound.
void BeginGridsOverBand(DWORD clearColour, CImageQuad& band, const char* picture, const char* gridTexture);

// Grid passes over what is drawn: no culling, u wrapping, source-alpha blending, the colour the
// texture times the vertex colour, the alpha the vertex colour's.
void SetModulatedGridStates();
// Texture coordinates wrap both ways (the radial and tunnel maps cross their seams).
void WrapBothWays();
// Every live vertex gets colour argb.
void SetGridColour(fx& grid, std::uint32_t argb);
// Every live vertex becomes white with a quarter of its alpha.
void QuarterGridAlpha(fx& grid);

// A step of a pass that does nothing.
struct NoStep {
    void operator()(fx&) const {}
};
// The step that colours every live vertex argb.
inline auto GridColour(std::uint32_t argb) {
    return [argb](fx& grid) { SetGridColour(grid, argb); };
}
// The step that colours every live vertex argb, then wraps both ways.
inline auto GridColourWrapped(std::uint32_t argb) {
    return [argb](fx& grid) {
        SetGridColour(grid, argb);
        WrapBothWays();
    };
}

// One pass as most scenes draw it: the speed, Animate (rotate: the shared rotation only; else the
// base map scrolled into the live array), `between` (colours, wrapping), Update with the mode,
// `after`, Render. Everything runs on ms.
template <class Between = NoStep, class After = NoStep>
void GridPass(fx& grid, float speed, float ms, bool rotate, int mode, Between between = {}, After after = {}) {
    grid.speed = speed;
    grid.Animate(ms, rotate);
    between(grid);
    grid.Update(mode, ms);
    after(grid);
    grid.Render();
}
// The mode before the scroll: a one-shot map computed this frame shows this frame, and a ray-cast
// mode turns by the previous frame's rotation.
template <class Between = NoStep>
void GridPassModeFirst(fx& grid, float speed, float ms, bool rotate, int mode, Between between = {}) {
    grid.speed = speed;
    grid.Update(mode, ms);
    grid.Animate(ms, rotate);
    between(grid);
    grid.Render();
}

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
