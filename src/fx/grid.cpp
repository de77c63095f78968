// grid.cpp - the grid effect object: its vertex grid, buffers, mode dispatch, scroll and draw.
#include "fx/grid.h"

#include "core/logger.h"
#include "core/screen_layout.h"
#include "render/render.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

fx* g_pFx1 = nullptr;
fx* g_pFx2 = nullptr;
fx* g_pFx3 = nullptr;

// Identity until the first rotating Animate, so a ray-cast mode run before it still sees a
// sensible view.
velunar::fxmodes::Rotation fx::s_rotation{{1, 0, 0, 0, 1, 0, 0, 0, 1}};
float fx::s_planeShift = 20.0f;

fx::fx() { velunar::fxmodes::InitSineTables(m_sine); }

fx::~fx() {
    if (m_pVB) m_pVB->Release();
    if (m_pIB) m_pIB->Release();
}

velunar::fxmodes::Grid fx::GridOf(FLATVERTEX* v) const {
    return velunar::fxmodes::Grid{m_nWidth, m_nHeight, m_nCell, m_nColumns, m_nRows, v};
}

bool fx::Init(CRender* renderer, unsigned width, unsigned height, unsigned cell) {
    if (!renderer || cell == 0) return false;
    m_pRenderer = renderer;
    m_pDevice = renderer->GetDevice();
    if (!m_pDevice) return false;
    m_nWidth = width;
    m_nHeight = height;
    m_nCell = cell;
    m_nColumns = width / cell + 2;
    m_nRows = height / cell + 2;
    const unsigned count = m_nColumns * m_nRows;
    m_pLive.reset(new (std::nothrow) FLATVERTEX[count]);
    m_pBase.reset(new (std::nothrow) FLATVERTEX[count]());
    m_pIndices.reset(new (std::nothrow) unsigned short[count * 6]);
    if (!m_pLive || !m_pBase || !m_pIndices) {
        m_pLive.reset();
        m_pBase.reset();
        m_pIndices.reset();
        return false;
    }
    for (unsigned r = 0; r < m_nRows; ++r) {
        for (unsigned c = 0; c < m_nColumns; ++c) {
            FLATVERTEX& v = m_pLive[r * m_nColumns + c];
            v.x = static_cast<float>(c * cell);
            v.y = static_cast<float>(r * cell + kBandTop);
            v.z = 0.99f;
            v.rhw = 1.0f;
            v.color = 0x00FFFFFFu;
            v.u = static_cast<float>(c) / m_nColumns;
            v.v = static_cast<float>(r) / m_nRows;
        }
    }
    // The base map starts as the initial grid so a scroll before any one-shot mode shows it.
    std::memcpy(m_pBase.get(), m_pLive.get(), sizeof(FLATVERTEX) * count);
    m_nTriangles = 0;
    unsigned short* idx = m_pIndices.get();
    for (unsigned r = 0; r + 1 < m_nRows; ++r) {
        for (unsigned c = 0; c + 1 < m_nColumns; ++c) {
            unsigned short a = static_cast<unsigned short>(r * m_nColumns + c);
            unsigned short b = static_cast<unsigned short>((r + 1) * m_nColumns + c);
            const unsigned short tri[6] = {a, static_cast<unsigned short>(a + 1), static_cast<unsigned short>(b + 1),
                                           a, static_cast<unsigned short>(b + 1), b};
            std::memcpy(idx + m_nTriangles * 3, tri, sizeof(tri));
            m_nTriangles += 2;
        }
    }
    if (FAILED(m_pDevice->CreateVertexBuffer(count * sizeof(FLATVERTEX), D3DUSAGE_WRITEONLY, D3DFVF_FLATVERTEX,
                                             D3DPOOL_DEFAULT, &m_pVB))) {
        m_pVB = nullptr;
        if (g_pLogger) g_pLogger->LogMessage("fx : creation of vertex buffer failed");
        return false;
    }
    if (FAILED(m_pDevice->CreateIndexBuffer(m_nTriangles * 6, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_DEFAULT,
                                            &m_pIB))) {
        m_pIB = nullptr;
        if (g_pLogger) g_pLogger->LogMessage("fx : creation of index buffer failed");
        return false;
    }
    BYTE* data = nullptr;
    if (FAILED(m_pVB->Lock(0, 0, &data, 0)) || !data) {
        if (g_pLogger) g_pLogger->LogMessage("cObject : cannot lock the vertex buffer");
        return false;
    }
    std::memcpy(data, m_pLive.get(), count * sizeof(FLATVERTEX));
    m_pVB->Unlock();
    data = nullptr;
    if (SUCCEEDED(m_pIB->Lock(0, 0, &data, 0)) && data) {
        std::memcpy(data, m_pIndices.get(), m_nTriangles * 3 * sizeof(unsigned short));
        m_pIB->Unlock();
    }
    return true;
}

fx::State fx::SaveState() const {
    State s{{}, {}, m_bBaseReady, m_nCurrentMode, m_sine, m_wave, {m_afAngles[0], m_afAngles[1], m_afAngles[2]},
            speed, centreX, centreY, angleOffset, angleRate};
    if (m_pLive) s.live.assign(m_pLive.get(), m_pLive.get() + VertexCount());
    if (m_pBase) s.base.assign(m_pBase.get(), m_pBase.get() + VertexCount());
    return s;
}

void fx::RestoreState(const State& s) {
    if (m_pLive && s.live.size() == VertexCount()) std::copy(s.live.begin(), s.live.end(), m_pLive.get());
    if (m_pBase && s.base.size() == VertexCount()) std::copy(s.base.begin(), s.base.end(), m_pBase.get());
    m_bBaseReady = s.baseReady;
    m_nCurrentMode = s.currentMode;
    m_sine = s.sine;
    m_wave = s.wave;
    std::copy(s.angles, s.angles + 3, m_afAngles);
    speed = s.speed;
    centreX = s.centreX;
    centreY = s.centreY;
    angleOffset = s.angleOffset;
    angleRate = s.angleRate;
}

bool fx::Update(int mode, float t) {
    if (mode != m_nCurrentMode) m_bBaseReady = false;
    m_nCurrentMode = mode;
    // A grid whose Init failed has no arrays to write.
    if (!m_pLive || !m_pBase) return true;
    const float T = t * speed;
    const velunar::fxmodes::Grid base = GridOf(m_pBase.get());
    const velunar::fxmodes::Grid live = GridOf(m_pLive.get());
    auto oneShot = [&](auto&& generate) {
        if (m_bBaseReady) return;
        generate();
        m_bBaseReady = true;
    };
    switch (mode) {
    case FX_TUNNEL: oneShot([&] { velunar::fxmodes::Tunnel(base); }); break;
    case FX_RADIAL: oneShot([&] { velunar::fxmodes::Radial(base, centreX, centreY, m_dRadius); }); break;
    case FX_BENT_TUNNEL:
    case FX_BENT_TUNNEL_B: oneShot([&] { velunar::fxmodes::BentTunnel(base); }); break;
    case FX_INVERSION: oneShot([&] { velunar::fxmodes::Inversion(base); }); break;
    case FX_SPHERE: velunar::fxmodes::Sphere(live, s_rotation); break;
    case FX_PLANES: velunar::fxmodes::Planes(live, s_rotation, T, s_planeShift); break;
    case FX_SINE_WARP: velunar::fxmodes::SineWarp(live, m_sine, T); break;
    case FX_LENS: velunar::fxmodes::Lens(live, T); break;
    case FX_WAVES: velunar::fxmodes::Waves(live, m_wave, t, speed); break;
    case FX_CYLINDER: velunar::fxmodes::Cylinder(live, s_rotation, T); break;
    default: break;
    }
    return true;
}

void fx::Animate(float t, bool rotate) {
    if (!rotate) {
        if (!m_pLive || !m_pBase) return;
        // Texture units per time unit: u scrolls three times as fast as v.
        const float du = t * speed * 0.003f, dv = t * speed * 0.001f;
        const unsigned count = VertexCount();
        for (unsigned i = 0; i < count; ++i) {
            m_pLive[i].u = m_pBase[i].u + du;
            m_pLive[i].v = m_pBase[i].v + dv;
            m_pLive[i].color = m_pBase[i].color;
        }
        return;
    }
    m_afAngles[0] = t * (angleRate.x * speed) + angleOffset.x;
    m_afAngles[1] = t * (angleRate.y * speed) + angleOffset.y;
    m_afAngles[2] = t * (angleRate.z * speed) + angleOffset.z;
    s_rotation = velunar::fxmodes::RotationFromAngles(m_afAngles[0], m_afAngles[1], m_afAngles[2]);
}

bool fx::Render() {
    if (!m_pVB || !m_pIB || !m_pLive || !m_pDevice) return false;
    BYTE* data = nullptr;
    if (FAILED(m_pVB->Lock(0, 0, &data, 0)) || !data) {
        if (g_pLogger) g_pLogger->LogMessage("cObject : cannot lock the vertex buffer");
        return false;
    }
    std::memcpy(data, m_pLive.get(), VertexCount() * sizeof(FLATVERTEX));
    m_pVB->Unlock();
    m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    m_pDevice->SetIndices(m_pIB, 0);
    m_pDevice->SetStreamSource(0, m_pVB, sizeof(FLATVERTEX));
    m_pDevice->SetVertexShader(D3DFVF_FLATVERTEX);
    m_pDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, VertexCount(), 0, m_nTriangles);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    return true;
}
