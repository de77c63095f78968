// d3d8_stateblock.cpp - state block masks, capture and apply.
#include "platform/d3d8/d3d8_stateblock.h"

#include <initializer_list>

#include "platform/d3d8/d3d8_device.h"

namespace velunar::d3d8 {
namespace {

// Direct3D 8's lists of the render states a pixel-state and a vertex-state block hold.
constexpr D3DRENDERSTATETYPE kPixelStates[] = {
    D3DRS_ZENABLE, D3DRS_FILLMODE, D3DRS_SHADEMODE, D3DRS_LINEPATTERN, D3DRS_ZWRITEENABLE, D3DRS_ALPHATESTENABLE,
    D3DRS_LASTPIXEL, D3DRS_SRCBLEND, D3DRS_DESTBLEND, D3DRS_ZFUNC, D3DRS_ALPHAREF, D3DRS_ALPHAFUNC,
    D3DRS_DITHERENABLE, D3DRS_ALPHABLENDENABLE, D3DRS_FOGSTART, D3DRS_FOGEND, D3DRS_FOGDENSITY,
    D3DRS_EDGEANTIALIAS, D3DRS_ZBIAS, D3DRS_STENCILENABLE, D3DRS_STENCILFAIL, D3DRS_STENCILZFAIL,
    D3DRS_STENCILPASS, D3DRS_STENCILFUNC, D3DRS_STENCILREF, D3DRS_STENCILMASK, D3DRS_STENCILWRITEMASK,
    D3DRS_TEXTUREFACTOR, D3DRS_WRAP0, D3DRS_WRAP1, D3DRS_WRAP2, D3DRS_WRAP3, D3DRS_WRAP4, D3DRS_WRAP5,
    D3DRS_WRAP6, D3DRS_WRAP7, D3DRS_COLORWRITEENABLE, D3DRS_BLENDOP,
};

constexpr D3DRENDERSTATETYPE kVertexStates[] = {
    D3DRS_SHADEMODE, D3DRS_SPECULARENABLE, D3DRS_CULLMODE, D3DRS_FOGENABLE, D3DRS_FOGCOLOR, D3DRS_FOGTABLEMODE,
    D3DRS_FOGSTART, D3DRS_FOGEND, D3DRS_FOGDENSITY, D3DRS_RANGEFOGENABLE, D3DRS_AMBIENT, D3DRS_COLORVERTEX,
    D3DRS_FOGVERTEXMODE, D3DRS_CLIPPING, D3DRS_LIGHTING, D3DRS_NORMALIZENORMALS, D3DRS_LOCALVIEWER,
    D3DRS_EMISSIVEMATERIALSOURCE, D3DRS_AMBIENTMATERIALSOURCE, D3DRS_DIFFUSEMATERIALSOURCE,
    D3DRS_SPECULARMATERIALSOURCE, D3DRS_VERTEXBLEND, D3DRS_CLIPPLANEENABLE, D3DRS_SOFTWAREVERTEXPROCESSING,
    D3DRS_POINTSIZE, D3DRS_POINTSIZE_MIN, D3DRS_POINTSPRITEENABLE, D3DRS_POINTSCALEENABLE, D3DRS_POINTSCALE_A,
    D3DRS_POINTSCALE_B, D3DRS_POINTSCALE_C, D3DRS_MULTISAMPLEANTIALIAS, D3DRS_MULTISAMPLEMASK,
    D3DRS_PATCHEDGESTYLE, D3DRS_PATCHSEGMENTS, D3DRS_POINTSIZE_MAX, D3DRS_INDEXEDVERTEXBLENDENABLE,
    D3DRS_TWEENFACTOR,
};

bool IsVertexStageState(DWORD t) { return t == D3DTSS_TEXCOORDINDEX || t == D3DTSS_TEXTURETRANSFORMFLAGS; }

}  // namespace

StateBlock* StateBlock::CreateOfType(D3DSTATEBLOCKTYPE type, const DeviceState& current) {
    auto* b = new StateBlock;
    StateMask& m = b->mask;
    const bool all = type == D3DSBT_ALL;
    const bool pixel = all || type == D3DSBT_PIXELSTATE;
    const bool vertex = all || type == D3DSBT_VERTEXSTATE;
    if (pixel)
        for (D3DRENDERSTATETYPE rs : kPixelStates) m.renderStates.set(rs);
    if (vertex)
        for (D3DRENDERSTATETYPE rs : kVertexStates) m.renderStates.set(rs);
    for (DWORD s = 0; s < D3D8_MAX_TEXTURE_STAGES; ++s)
        for (DWORD t = 1; t < D3D8_TSS_COUNT; ++t)
            if (t != 12 && (IsVertexStageState(t) ? vertex : pixel)) m.stageStates[s].set(t);
    if (vertex) {
        for (const auto& [index, slot] : current.lights) {
            m.lights[index] = true;
            m.lightEnables[index] = true;
        }
        m.vertexShader = true;
    }
    if (all) {
        m.transforms.set();
        m.viewport = m.material = true;
        m.textures.set();
        m.stream = m.indices = true;
    }
    b->Capture(current);
    return b;
}

void StateBlock::Capture(const DeviceState& cur) {
    for (DWORD i = 0; i < D3D8_RENDERSTATE_COUNT; ++i)
        if (mask.renderStates.test(i)) values.renderStates[i] = cur.renderStates[i];
    for (DWORD s = 0; s < D3D8_MAX_TEXTURE_STAGES; ++s)
        for (DWORD t = 0; t < D3D8_TSS_COUNT; ++t)
            if (mask.stageStates[s].test(t)) values.stageStates[s][t] = cur.stageStates[s][t];
    for (int i = 0; i < kTransformSlots; ++i)
        if (mask.transforms.test(i)) values.transforms[i] = cur.transforms[i];
    if (mask.viewport) values.viewport = cur.viewport;
    if (mask.material) values.material = cur.material;
    for (const auto& [index, held] : mask.lights) {
        auto it = cur.lights.find(index);
        if (held && it != cur.lights.end()) values.lights[index].light = it->second.light;
    }
    for (const auto& [index, held] : mask.lightEnables) {
        auto it = cur.lights.find(index);
        if (held) values.lights[index].enabled = it != cur.lights.end() && it->second.enabled;
    }
    for (DWORD s = 0; s < D3D8_MAX_TEXTURE_STAGES; ++s)
        if (mask.textures.test(s)) values.textures[s] = cur.textures[s];
    if (mask.vertexShader) values.vertexShader = cur.vertexShader;
    if (mask.stream) {
        values.stream = cur.stream;
        values.streamStride = cur.streamStride;
    }
    if (mask.indices) {
        values.indices = cur.indices;
        values.baseVertexIndex = cur.baseVertexIndex;
    }
}

void StateBlock::Apply(Device& d) const {
    for (DWORD i = 0; i < D3D8_RENDERSTATE_COUNT; ++i)
        if (mask.renderStates.test(i)) d.SetRenderState(static_cast<D3DRENDERSTATETYPE>(i), values.renderStates[i]);
    for (DWORD s = 0; s < D3D8_MAX_TEXTURE_STAGES; ++s)
        for (DWORD t = 0; t < D3D8_TSS_COUNT; ++t)
            if (mask.stageStates[s].test(t))
                d.SetTextureStageState(s, static_cast<D3DTEXTURESTAGESTATETYPE>(t), values.stageStates[s][t]);
    static const D3DTRANSFORMSTATETYPE kTypes[kTransformSlots] = {
        D3DTS_VIEW, D3DTS_PROJECTION, D3DTS_WORLD, D3DTS_TEXTURE0, D3DTS_TEXTURE1, D3DTS_TEXTURE2,
        D3DTS_TEXTURE3, D3DTS_TEXTURE4, D3DTS_TEXTURE5, D3DTS_TEXTURE6, D3DTS_TEXTURE7};
    for (int i = 0; i < kTransformSlots; ++i)
        if (mask.transforms.test(i)) d.SetTransform(kTypes[i], &values.transforms[i]);
    if (mask.viewport) d.SetViewport(&values.viewport);
    if (mask.material) d.SetMaterial(&values.material);
    for (const auto& [index, held] : mask.lights) {
        auto it = values.lights.find(index);
        if (held && it != values.lights.end()) d.SetLight(index, &it->second.light);
    }
    for (const auto& [index, held] : mask.lightEnables) {
        auto it = values.lights.find(index);
        if (held) d.LightEnable(index, it != values.lights.end() && it->second.enabled);
    }
    for (DWORD s = 0; s < D3D8_MAX_TEXTURE_STAGES; ++s)
        if (mask.textures.test(s)) d.SetTexture(s, values.textures[s].Get());
    if (mask.vertexShader) d.SetVertexShader(values.vertexShader);
    if (mask.stream) d.SetStreamSource(0, values.stream.Get(), values.streamStride);
    if (mask.indices) d.SetIndices(values.indices.Get(), values.baseVertexIndex);
}

}  // namespace velunar::d3d8
