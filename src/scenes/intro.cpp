// intro.cpp - the lead-in: the makers' picture centred on black, faded in over the first second
// and washed to white over the last.
#include "core/show_clock.h"
#include "fx/fades.h"
#include "render/render.h"
#include "render/render_globals.h"
#include "scenes/scenes.h"

void InitIntro() { g_pRender->LoadTexture("data/hlvqll.jpg", "hlvqll"); }

void RenderIntro(float t) {
    g_pRender->m_dwClearColor = 0;
    g_pRender->BeginScene(0);
    g_pRender->SetTexture("hlvqll", 0);
    // Lead-in seconds: 0 at the first frame, 5 when the music starts.
    const float s = t + kLeadInSeconds;
    g_pRender->DrawImage(400.0f, 300.0f, 0.1f, s < 1.0f ? s : 1.0f, 1.0f, 0.0f, nullptr);
    if (s >= 4.0f) FadeToWhite(s, 4.0f, 1.0f);
}
