// grid.h - fx, the grid effect: a full-width band drawn as a coarse mesh of pre-transformed,
// textured vertices whose texture coordinates (and for some modes colours) come from one of the
// eleven generators. Positions never change after Init.
// Depends on: the renderer (device, vertex formats), the grid modes.
#pragma once

#include "fx/grid_modes.h"
#include "platform/d3d8/d3d8.h"
#include "math/vertex.h"
#include "math/vector3.h"

#include <memory>
#include <vector>

class CRender;

class fx {
public:
    fx();
    ~fx();
    fx(const fx&) = delete;
    fx& operator=(const fx&) = delete;

    // Builds the grid (width / cell + 2 columns, height / cell + 2 rows) and its device buffers.
    bool Init(CRender* renderer, unsigned width, unsigned height, unsigned cell);
    // Runs mode for time t: one-shot modes fill the base map once per mode change, per-frame
    // modes write the live array on every call.
    bool Update(int mode, float t);
    // rotate false: live = base plus the slow time scroll. rotate true: the shared rotation only.
    void Animate(float t, bool rotate);
    // Uploads the live array and draws it with the depth test off.
    bool Render();

    // Tuning the scenes set before their calls.
    float speed = 1.0f;
    Vector3 angleOffset{0.1f, 0.1f, 0.1f};
    Vector3 angleRate{0.1f, 0.1f, 0.1f};
    float centreX = 0.0f;
    float centreY = 0.0f;

    // The vertices that are drawn, and the base map of the one-shot modes (columns x rows each).
    FLATVERTEX* Live() { return m_pLive.get(); }
    FLATVERTEX* Base() { return m_pBase.get(); }
    unsigned Columns() const { return m_nColumns; }
    unsigned Rows() const { return m_nRows; }
    unsigned TriangleCount() const { return m_nTriangles; }
    unsigned VertexCount() const { return m_nColumns * m_nRows; }
    int CurrentMode() const { return m_nCurrentMode; }
    bool BaseReady() const { return m_bBaseReady; }
    const unsigned short* Indices() const { return m_pIndices.get(); }

    // Everything a frame changes: the arrays, the mode and its base map, the mode state, the angles
    // and the tuning. The class-wide rotation and plane shift are not in it.
    struct State {
        std::vector<FLATVERTEX> live, base;
        bool baseReady;
        int currentMode;
        velunar::fxmodes::SineWarpState sine;
        velunar::fxmodes::WaveState wave;
        float angles[3];
        float speed, centreX, centreY;
        Vector3 angleOffset, angleRate;
    };
    State SaveState() const;
    void RestoreState(const State& state);

    // The rotation written by the last Animate with rotate true on any grid.
    static velunar::fxmodes::Rotation s_rotation;
    // The plane shift of mode 3, class-wide.
    static float s_planeShift;

private:
    velunar::fxmodes::Grid GridOf(FLATVERTEX* v) const;

    unsigned m_nWidth = 0, m_nHeight = 0, m_nCell = 0, m_nColumns = 0, m_nRows = 0, m_nTriangles = 0;
    std::unique_ptr<FLATVERTEX[]> m_pLive;
    std::unique_ptr<FLATVERTEX[]> m_pBase;
    std::unique_ptr<unsigned short[]> m_pIndices;
    bool m_bBaseReady = false;
    int m_nCurrentMode = 0;
    CRender* m_pRenderer = nullptr;
    IDirect3DDevice8* m_pDevice = nullptr;
    velunar::fxmodes::SineWarpState m_sine;
    float m_afAngles[3] = {0.1f, 0.1f, 0.1f};
    double m_dRadius = 400.0;
    IDirect3DVertexBuffer8* m_pVB = nullptr;
    IDirect3DIndexBuffer8* m_pIB = nullptr;
    velunar::fxmodes::WaveState m_wave;
};

// The three shared grids created at start-up.
extern fx* g_pFx1;
extern fx* g_pFx2;
extern fx* g_pFx3;
