// d3d8_state.cpp - the device's initial state, value for value as Direct3D 8 documents it, and the
// render states each group of GL state reads.
#include "platform/d3d8/d3d8_state.h"

#include <array>
#include <cstring>

namespace velunar::d3d8 {
namespace {

DWORD FloatBits(float f) {
    DWORD d;
    std::memcpy(&d, &f, sizeof d);
    return d;
}

D3DMATRIX Identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

}  // namespace

int TransformSlotOf(D3DTRANSFORMSTATETYPE type) {
    if (type == D3DTS_VIEW) return kView;
    if (type == D3DTS_PROJECTION) return kProjection;
    if (type == D3DTS_WORLD) return kWorld;
    if (type >= D3DTS_TEXTURE0 && type <= D3DTS_TEXTURE7) return kTexture0 + (type - D3DTS_TEXTURE0);
    return -1;
}

uint32_t DirtyGroupsOf(D3DRENDERSTATETYPE state) {
    // The render states each group reads at draw time.
    static constexpr D3DRENDERSTATETYPE kBlend[] = {D3DRS_ALPHABLENDENABLE, D3DRS_SRCBLEND, D3DRS_DESTBLEND,
                                                    D3DRS_BLENDOP};
    static constexpr D3DRENDERSTATETYPE kDepth[] = {D3DRS_ZENABLE, D3DRS_ZFUNC, D3DRS_ZWRITEENABLE, D3DRS_STENCILENABLE};
    static constexpr D3DRENDERSTATETYPE kRasteriser[] = {D3DRS_CULLMODE, D3DRS_FILLMODE, D3DRS_COLORWRITEENABLE};
    static constexpr D3DRENDERSTATETYPE kProgramKey[] = {
        D3DRS_LIGHTING, D3DRS_COLORVERTEX, D3DRS_DIFFUSEMATERIALSOURCE, D3DRS_AMBIENTMATERIALSOURCE,
        D3DRS_EMISSIVEMATERIALSOURCE, D3DRS_SPECULARENABLE, D3DRS_ALPHATESTENABLE, D3DRS_ALPHAFUNC,
        D3DRS_POINTSPRITEENABLE, D3DRS_POINTSCALEENABLE, D3DRS_SHADEMODE, D3DRS_FOGENABLE, D3DRS_WRAP0, D3DRS_WRAP1,
        D3DRS_WRAP2, D3DRS_WRAP3, D3DRS_WRAP4, D3DRS_WRAP5, D3DRS_WRAP6, D3DRS_WRAP7};
    static constexpr D3DRENDERSTATETYPE kUniforms[] = {
        D3DRS_TEXTUREFACTOR, D3DRS_AMBIENT, D3DRS_ALPHAREF, D3DRS_POINTSIZE, D3DRS_POINTSIZE_MIN,
        D3DRS_POINTSIZE_MAX, D3DRS_POINTSCALE_A, D3DRS_POINTSCALE_B, D3DRS_POINTSCALE_C};
    static constexpr auto kGroups = [] {
        std::array<uint8_t, D3D8_RENDERSTATE_COUNT> groups{};
        groups.fill(static_cast<uint8_t>(kDirtyAll));
        for (D3DRENDERSTATETYPE rs : kBlend) groups[rs] = kDirtyBlend;
        for (D3DRENDERSTATETYPE rs : kDepth) groups[rs] = kDirtyDepth;
        for (D3DRENDERSTATETYPE rs : kRasteriser) groups[rs] = kDirtyRasteriser;
        for (D3DRENDERSTATETYPE rs : kProgramKey) groups[rs] = kDirtyProgramKey;
        for (D3DRENDERSTATETYPE rs : kUniforms) groups[rs] = kDirtyUniforms;
        return groups;
    }();
    return state < D3D8_RENDERSTATE_COUNT ? kGroups[state] : static_cast<uint32_t>(kDirtyAll);
}

void DeviceState::SetDefaults(bool zEnable) {
    DWORD* rs = renderStates.data();
    rs[D3DRS_ZENABLE] = zEnable ? D3DZB_TRUE : D3DZB_FALSE;
    rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
    rs[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
    rs[D3DRS_ZWRITEENABLE] = TRUE;
    rs[D3DRS_ALPHATESTENABLE] = FALSE;
    rs[D3DRS_LASTPIXEL] = TRUE;
    rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    rs[D3DRS_CULLMODE] = D3DCULL_CCW;
    rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    rs[D3DRS_ALPHAREF] = 0;
    rs[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_FOGEND] = FloatBits(1.0f);
    rs[D3DRS_FOGDENSITY] = FloatBits(1.0f);
    rs[D3DRS_STENCILFAIL] = 1;  // D3DSTENCILOP_KEEP
    rs[D3DRS_STENCILZFAIL] = 1;
    rs[D3DRS_STENCILPASS] = 1;
    rs[D3DRS_STENCILFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_STENCILMASK] = 0xffffffff;
    rs[D3DRS_STENCILWRITEMASK] = 0xffffffff;
    rs[D3DRS_TEXTUREFACTOR] = 0xffffffff;
    rs[D3DRS_CLIPPING] = TRUE;
    rs[D3DRS_LIGHTING] = TRUE;
    rs[D3DRS_COLORVERTEX] = TRUE;
    rs[D3DRS_LOCALVIEWER] = TRUE;
    rs[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    rs[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
    rs[D3DRS_AMBIENTMATERIALSOURCE] = D3DMCS_MATERIAL;
    rs[D3DRS_EMISSIVEMATERIALSOURCE] = D3DMCS_MATERIAL;
    rs[D3DRS_POINTSIZE] = FloatBits(1.0f);
    rs[D3DRS_POINTSIZE_MIN] = FloatBits(0.0f);
    rs[D3DRS_POINTSCALE_A] = FloatBits(1.0f);
    rs[D3DRS_POINTSCALE_B] = FloatBits(0.0f);
    rs[D3DRS_POINTSCALE_C] = FloatBits(0.0f);
    rs[D3DRS_MULTISAMPLEANTIALIAS] = TRUE;
    rs[D3DRS_MULTISAMPLEMASK] = 0xffffffff;
    rs[D3DRS_PATCHSEGMENTS] = FloatBits(1.0f);
    rs[D3DRS_POINTSIZE_MAX] = FloatBits(64.0f);
    rs[D3DRS_COLORWRITEENABLE] = 0xf;
    rs[D3DRS_BLENDOP] = D3DBLENDOP_ADD;

    for (DWORD s = 0; s < D3D8_MAX_TEXTURE_STAGES; ++s) {
        DWORD* ts = stageStates[s].data();
        ts[D3DTSS_COLOROP] = s == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        ts[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        ts[D3DTSS_ALPHAOP] = s == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        ts[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        ts[D3DTSS_TEXCOORDINDEX] = s;
        ts[D3DTSS_ADDRESSU] = D3DTADDRESS_WRAP;
        ts[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
        ts[D3DTSS_ADDRESSW] = D3DTADDRESS_WRAP;
        ts[D3DTSS_MAGFILTER] = D3DTEXF_POINT;
        ts[D3DTSS_MINFILTER] = D3DTEXF_POINT;
        ts[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
        ts[D3DTSS_MAXANISOTROPY] = 1;
        ts[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_DISABLE;
        ts[D3DTSS_COLORARG0] = D3DTA_CURRENT;
        ts[D3DTSS_ALPHAARG0] = D3DTA_CURRENT;
        ts[D3DTSS_RESULTARG] = D3DTA_CURRENT;
    }
    for (D3DMATRIX& m : transforms) m = Identity();
    material = D3DMATERIAL8{};
    lights.clear();
    for (auto& t : textures) t.Reset(nullptr, false);
    vertexShader = 0;
    stream.Reset(nullptr, false);
    streamStride = 0;
    indices.Reset(nullptr, false);
    baseVertexIndex = 0;
}

}  // namespace velunar::d3d8
