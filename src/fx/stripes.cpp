#include "fx/stripes.h"

#include "core/crt_rand.h"
#include "core/logger.h"
#include "platform/d3dx8/d3dx8.h"
#include "render/render.h"
#include "render/render_globals.h"

namespace crt = velunar::crt;

CPaski::CPaski(unsigned count) {
    if (g_pRender && !g_pRender->SetTexture("CPaski", 0) && g_pLogger)
        g_pLogger->LogMessage("CPaski : loading texture for the first time\n");
    m_stripes.resize(count);
    m_nCount = count;
    for (unsigned i = 0; i < count; ++i) {
        Stripe& s = m_stripes[i];
        s.x = static_cast<float>(crt::rand() % 800);
        s.y = static_cast<float>(crt::rand() % 400 + 100);
        s.drawX = s.x;
        s.drawY = s.y;
        s.width = static_cast<float>((crt::rand() % 5) * 2 + 5);
        s.speed = static_cast<float>((crt::rand() % 900) * 0.0011111111111111111 + 0.2);
        crt::rand();  // drawn and not used; the draws that follow depend on it
        s.colour = colour;
        s.direction = static_cast<float>(crt::rand() % 3 - 1);
    }
}

void CPaski::Update(float t) {
    if (m_fStartTime == 0.0f) m_fStartTime = t;
    // Pixels travelled at relative speed 1.
    const float d = (t - m_fStartTime) * 1400.0f * speedScale;
    for (unsigned i = 0; i < m_nCount; ++i) {
        Stripe& s = m_stripes[i];
        s.colour = colour;
        const float c = d * s.speed;
        s.drawY = s.y;
        // The wrap moves the base for the next frames; this frame keeps its position.
        if (s.direction == 1.0f) {
            s.drawX = s.x - c;
            if (s.drawX < -400.0f) s.x += 1100.0f;
        } else {
            s.drawX = s.x + c;
            if (s.drawX > 1200.0f) s.x -= 2200.0f;
        }
    }
}

void CPaski::Render() {
    if (!g_pRender || !g_pDevice) return;
    g_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    g_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    g_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    g_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    g_pRender->SetTexture("CPaski", 0);
    g_pRender->SetTextureMode(TM_ALPHABLEND, 0);

    ID3DXSprite* sprite = g_pRender->GetSprite();
    if (sprite) {
        IDirect3DTexture8* texture = g_pRender->GetCurrentTexture();
        sprite->Begin();
        for (unsigned i = 0; i < m_nCount; ++i) {
            const Stripe& s = m_stripes[i];
            const D3DXVECTOR2 scaling(s.width + 15.0f, 0.35f);
            const D3DXVECTOR2 translation(s.drawX, s.drawY);
            sprite->Draw(texture, nullptr, &scaling, nullptr, 0.0f, &translation, s.colour);
        }
        sprite->End();
    }

    g_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    g_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
}
