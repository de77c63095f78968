// captions.cpp - Captions: reading the lines, their pop, hold, fade and respawn.
#include "fx/captions.h"

#include "core/crt_rand.h"
#include "core/ini.h"
#include "render/bitmap_font.h"
#include "render/render.h"
#include "render/render_globals.h"

namespace crt = velunar::crt;

namespace {

// DrawString's flag for linear filtering: the glyphs are scaled up while they grow.
constexpr DWORD kLinearGlyphs = 4;
constexpr float kCaptionDepth = 0.1f;

// x in 50 ... 749, y in 125 ... 524 pixels; x drawn first.
void PlaceAtRandom(float* position) {
    position[0] = static_cast<float>(crt::rand() % 700 + 50);
    position[1] = static_cast<float>(crt::rand() % 400 + 125);
}

}  // namespace

float ScreenToViewX(int x) { return static_cast<float>(x - 400) * 0.0025f; }
float ScreenToViewY(int y) { return static_cast<float>(y - 300) * 0.0033333334f; }

D3DCOLOR CaptionColour(float age) {
    if (age < 1.0f) return 0xC9FFFFFFu;
    if (age >= 3.0f) return 0;
    // 200 at one second down to 0 at three, truncated.
    const int alpha = static_cast<int>((2.0f - (age - 1.0f)) * 0.5 * 200);
    return static_cast<D3DCOLOR>(alpha) * 0x1000000u + 0xFFFFFFu;
}

Captions::Captions(const char* path) {
    CIni ini;
    if (!ini.Open(path)) return;
    while (ini.Read()) {
        // Lines past the last slot are read to the end of the file and dropped.
        if (Count() >= kMaxCaptions) continue;
        const int i = Count();
        m_texts.emplace_back(ini.Line());
        PlaceAtRandom(m_afPositions[i]);
        // 1.00 ... 5.95 seconds after the first Render, in steps of 0.05.
        m_afAppear[i] = static_cast<float>((crt::rand() % 100) * 0.01 * 5 + 1);
    }
}

void Captions::Render(float t) {
    if (m_fStartTime == 0.0f) {
        m_fStartTime = t;
        for (int i = 0; i < Count(); ++i) m_afAppear[i] += t;
    }
    // Only the vertex colour counts on stage 0 from here on.
    if (g_pRender) g_pRender->SetTextureMode(TM_TEXTUREONLY, 0);
    if (g_pDevice) {
        g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
        g_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    }
    crt::srand(static_cast<unsigned>(static_cast<int>(t * 1000.0f)));

    for (int i = 0; i < Count(); ++i) {
        if (t < m_afAppear[i]) continue;
        const float age = t - m_afAppear[i];
        if (age >= 3.0f) {
            // Back after a pause of 0 ... 2.475 seconds, somewhere else.
            m_afAppear[i] = static_cast<float>(t + (crt::rand() % 100) * 0.01 * 2.5);
            PlaceAtRandom(m_afPositions[i]);
            continue;
        }
        if (!g_pFontLarge) continue;
        const char* text = m_texts[i].c_str();
        int size[2] = {0, 0};
        g_pFontLarge->MeasureString(text, size);
        // Centred by its size in atlas texels, halves in whole texels.
        const float x = ScreenToViewX(static_cast<int>(m_afPositions[i][0] - static_cast<float>(size[0] / 2)));
        const float y = ScreenToViewY(static_cast<int>(m_afPositions[i][1] - static_cast<float>(size[1] / 2)));
        // Grows through its three seconds: k runs 0 ... 1.
        const float k = age / 3.0f;
        g_pFontLarge->DrawString(x, y, kCaptionDepth, static_cast<float>(k * 0.04 + 0.015),
                                 static_cast<float>(k * 0.06 + 0.025), CaptionColour(age), text, kLinearGlyphs);
    }
}
