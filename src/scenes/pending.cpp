// pending.cpp - the scenes whose pictures are still to come: each clears the band to black so the
// schedule's fades and the bars still show over them.
#include "render/render.h"
#include "render/render_globals.h"
#include "scenes/scenes.h"

namespace {
void BlackFrame() {
    g_pRender->m_dwClearColor = 0;
    g_pRender->BeginScene(2);
}
}  // namespace

void InitFx03() {}
void RenderFx03(float) { BlackFrame(); }
