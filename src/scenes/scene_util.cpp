#include "scenes/scene_util.h"

void SetGridColour(fx& grid, std::uint32_t argb) {
    FLATVERTEX* v = grid.Live();
    if (!v) return;
    for (unsigned i = 0, n = grid.VertexCount(); i < n; ++i) v[i].color = argb;
}

void QuarterGridAlpha(fx& grid) {
    FLATVERTEX* v = grid.Live();
    if (!v) return;
    for (unsigned i = 0, n = grid.VertexCount(); i < n; ++i) v[i].color = QuarterAlphaWhite(v[i].color);
}
