// The renderer's own costs: building the two font atlases at start-up, and per frame the CPU
// side of queueing sprites, the letterbox rectangles and a caption line. Draws are skipped
// (D3D8_SetSkipDraws) in the per-frame cases so only our code and the device's state work count.
#include <benchmark/benchmark.h>

#include "platform/d3d8/d3d8_ext.h"
#include "platform/window/offscreen_window.h"
#include "platform/window/window.h"
#include "render/bitmap_font.h"
#include "render/render.h"
#include "render/render_globals.h"

namespace {

// One renderer for the whole run, as the show has.
CRender* Renderer() {
    static CRender* render = [] {
        HWND hWnd = velunar::window::CreateOffscreenWindow(800, 600);
        auto* r = new CRender;
        if (!hWnd || !r->Init(hWnd, 800, 600, false)) {
            delete r;
            return static_cast<CRender*>(nullptr);
        }
        g_pRender = r;
        g_pDevice = r->GetDevice();
        return r;
    }();
    return render;
}

// Start-up: one atlas per size (10 and 32 as the show makes them).
void BM_FontCreate(benchmark::State& state) {
    CRender* r = Renderer();
    if (!r) {
        state.SkipWithError("no device");
        return;
    }
    for (auto _ : state) {
        BitmapFont font("Lucida Console", static_cast<DWORD>(state.range(0)), BitmapFont::kBold);
        benchmark::DoNotOptimize(font.Create(r->GetDevice()));
        font.CreateBuffers();
        font.Release();
    }
}
BENCHMARK(BM_FontCreate)->Arg(10)->Arg(32)->Unit(benchmark::kMillisecond);

// Per frame: the two letterbox bars.
void BM_LetterboxBars(benchmark::State& state) {
    CRender* r = Renderer();
    if (!r) {
        state.SkipWithError("no device");
        return;
    }
    D3D8_SetSkipDraws(true);
    for (auto _ : state) {
        r->DrawRect(0, 0, 800, 100, 0.1f, 0xff000000u);
        r->DrawRect(0, 500, 800, 600, 0.1f, 0xff000000u);
    }
    D3D8_SetSkipDraws(false);
}
BENCHMARK(BM_LetterboxBars);

// Per frame: one 40-character caption line with the large font.
void BM_CaptionLine(benchmark::State& state) {
    CRender* r = Renderer();
    if (!r) {
        state.SkipWithError("no device");
        return;
    }
    static BitmapFont* font = [r] {
        auto* f = new BitmapFont("Lucida Console", 32, BitmapFont::kBold);
        f->Create(r->GetDevice());
        f->CreateBuffers();
        return f;
    }();
    D3D8_SetSkipDraws(true);
    for (auto _ : state) {
        font->DrawString(-0.9f, 0.6f, 0.0f, 0.03f, 0.06f, 0xffffffffu, "a caption line of forty characters long.", 0);
    }
    D3D8_SetSkipDraws(false);
}
BENCHMARK(BM_CaptionLine);

}  // namespace
