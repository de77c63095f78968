// d3d8_device_draw.cpp - draw-time translation: one bind function per stale group of GL state
// (targets, blend, depth, rasteriser, viewport, program, uniforms, textures), all called from
// PrepareDraw; vertex layouts from FVF codes; the draw calls.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/d3d8/d3d8_buffer.h"
#include "platform/d3d8/d3d8_device.h"
#include "platform/d3d8/d3d8_ext.h"
#include "platform/d3d8/d3d8_texture.h"
#include "platform/d3d8/d3d8_warn.h"
#include "platform/d3d8/d3d8_wrap.h"

namespace velunar::d3d8 {
namespace {

float AsFloat(DWORD d) {
    float f;
    std::memcpy(&f, &d, sizeof f);
    return f;
}

void ColorToFloats(D3DCOLOR c, float out[4]) {
    out[0] = ((c >> 16) & 0xff) / 255.0f;
    out[1] = ((c >> 8) & 0xff) / 255.0f;
    out[2] = (c & 0xff) / 255.0f;
    out[3] = ((c >> 24) & 0xff) / 255.0f;
}

D3DMATRIX Mul(const D3DMATRIX& a, const D3DMATRIX& b) {
    D3DMATRIX r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    return r;
}

// The inverse transpose of the upper 3 x 3, row-major; the identity when it is singular.
void NormalMatrix(const D3DMATRIX& m, float out[9]) {
    const float a = m._11, b = m._12, c = m._13, d = m._21, e = m._22, f = m._23, g = m._31, h = m._32, i = m._33;
    const float A = e * i - f * h, B = -(d * i - f * g), C = d * h - e * g;
    const float det = a * A + b * B + c * C;
    if (std::fabs(det) < 1e-30f) {
        const float id[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
        std::memcpy(out, id, sizeof id);
        return;
    }
    const float s = 1.0f / det;
    // Transpose of the inverse = the cofactor matrix / det.
    out[0] = A * s, out[1] = B * s, out[2] = C * s;
    out[3] = -(b * i - c * h) * s, out[4] = (a * i - c * g) * s, out[5] = -(a * h - b * g) * s;
    out[6] = (b * f - c * e) * s, out[7] = -(a * f - c * d) * s, out[8] = (a * e - b * d) * s;
}

// destHasAlpha false: the target has no alpha channel, and Direct3D reads its alpha as 1.
GLenum BlendFactor(DWORD b, bool destHasAlpha) {
    switch (b) {
        case D3DBLEND_ZERO: return GL_ZERO;
        case D3DBLEND_ONE: return GL_ONE;
        case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
        case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
        case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
        case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
        case D3DBLEND_DESTALPHA: return destHasAlpha ? GL_DST_ALPHA : GL_ONE;
        case D3DBLEND_INVDESTALPHA: return destHasAlpha ? GL_ONE_MINUS_DST_ALPHA : GL_ZERO;
        case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
        case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
        case D3DBLEND_SRCALPHASAT: return destHasAlpha ? GL_SRC_ALPHA_SATURATE : GL_ZERO;
        default: return GL_ONE;
    }
}

GLenum BlendEquation(DWORD op) {
    switch (op) {
        case D3DBLENDOP_SUBTRACT: return GL_FUNC_SUBTRACT;
        case D3DBLENDOP_REVSUBTRACT: return GL_FUNC_REVERSE_SUBTRACT;
        case D3DBLENDOP_MIN: return GL_MIN;
        case D3DBLENDOP_MAX: return GL_MAX;
        default: return GL_FUNC_ADD;
    }
}

GLenum CompareFunc(DWORD f) {
    switch (f) {
        case D3DCMP_NEVER: return GL_NEVER;
        case D3DCMP_LESS: return GL_LESS;
        case D3DCMP_EQUAL: return GL_EQUAL;
        case D3DCMP_LESSEQUAL: return GL_LEQUAL;
        case D3DCMP_GREATER: return GL_GREATER;
        case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
        case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
        default: return GL_ALWAYS;
    }
}

GLenum AddressMode(DWORD a) {
    switch (a) {
        case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
        case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
        case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
        case D3DTADDRESS_MIRRORONCE: return GL_CLAMP_TO_EDGE;
        default: return GL_REPEAT;
    }
}

GLenum PrimitiveMode(D3DPRIMITIVETYPE t) {
    switch (t) {
        case D3DPT_POINTLIST: return GL_POINTS;
        case D3DPT_LINELIST: return GL_LINES;
        case D3DPT_LINESTRIP: return GL_LINE_STRIP;
        case D3DPT_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
        case D3DPT_TRIANGLEFAN: return GL_TRIANGLE_FAN;
        default: return GL_TRIANGLES;
    }
}

// Vertices that PrimitiveCount primitives of a type take; 0 for an unknown type.
UINT VertexCount(D3DPRIMITIVETYPE t, UINT prims) {
    switch (t) {
        case D3DPT_POINTLIST: return prims;
        case D3DPT_LINELIST: return prims * 2;
        case D3DPT_LINESTRIP: return prims + 1;
        case D3DPT_TRIANGLELIST: return prims * 3;
        case D3DPT_TRIANGLESTRIP:
        case D3DPT_TRIANGLEFAN: return prims + 2;
        default: return 0;
    }
}

UINT FvfStride(DWORD fvf) {
    UINT floats = PositionFloats(fvf);
    if (fvf & D3DFVF_NORMAL) floats += 3;
    if (fvf & D3DFVF_PSIZE) floats += 1;
    if (fvf & D3DFVF_DIFFUSE) floats += 1;
    if (fvf & D3DFVF_SPECULAR) floats += 1;
    int sets = static_cast<int>((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
    for (int i = 0; i < sets; ++i) floats += TexCoordFloats(fvf, i);
    return floats * 4;
}

bool UsesTexture(DWORD op, DWORD arg0, DWORD arg1, DWORD arg2) {
    auto isTex = [](DWORD a) { return (a & D3DTA_SELECTMASK) == D3DTA_TEXTURE; };
    if (op == D3DTOP_SELECTARG1) return isTex(arg1);
    if (op == D3DTOP_SELECTARG2) return isTex(arg2);
    if (op == D3DTOP_BLENDTEXTUREALPHA || op == D3DTOP_BLENDTEXTUREALPHAPM) return true;
    bool three = op == D3DTOP_MULTIPLYADD || op == D3DTOP_LERP;
    return isTex(arg1) || isTex(arg2) || (three && isTex(arg0));
}

}  // namespace

// ---- fixed-function groups --------------------------------------------------------------------

void Device::BindTargets() {
    m_gl.BindFramebuffer(m_fbo);
    Surface* rt = static_cast<Surface*>(m_renderTarget.Get());
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, rt->Container()->Name(),
                           static_cast<GLint>(rt->Level()));
    Surface* ds = static_cast<Surface*>(m_depthStencil.Get());
    // A depth buffer smaller than the target cannot be attached; Direct3D then draws without one.
    GLuint rb = (ds && ds->Desc().Width >= rt->Desc().Width && ds->Desc().Height >= rt->Desc().Height)
                    ? ds->Renderbuffer() : 0;
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, rb);
    m_hasDepth = rb != 0;
    const D3DFORMAT backFormat = m_pp.BackBufferFormat;
    const bool opaqueBack = backFormat == D3DFMT_X8R8G8B8 || backFormat == D3DFMT_R8G8B8 ||
                            backFormat == D3DFMT_R5G6B5 || backFormat == D3DFMT_X1R5G5B5;
    m_targetKeepsAlpha =
        !(opaqueBack && m_backBuffer && rt == static_cast<Texture*>(m_backBuffer.Get())->LevelSurface(0));
    D3D8_GL_CHECK("framebuffer attachments");
    m_dirty &= ~kDirtyTargets;
    // Blending reads the target's alpha and the depth state its depth buffer.
    MarkDirty(kDirtyFixedFunction);
}

void Device::BindBlend() {
    const DWORD* rs = m_state.renderStates.data();
    m_gl.Enable(GlStateCache::kBlend, rs[D3DRS_ALPHABLENDENABLE] != FALSE);
    GLenum src = BlendFactor(rs[D3DRS_SRCBLEND], m_targetKeepsAlpha);
    GLenum dst = BlendFactor(rs[D3DRS_DESTBLEND], m_targetKeepsAlpha);
    if (rs[D3DRS_SRCBLEND] == D3DBLEND_BOTHSRCALPHA) src = GL_SRC_ALPHA, dst = GL_ONE_MINUS_SRC_ALPHA;
    if (rs[D3DRS_SRCBLEND] == D3DBLEND_BOTHINVSRCALPHA) src = GL_ONE_MINUS_SRC_ALPHA, dst = GL_SRC_ALPHA;
    m_gl.BlendFunc(src, dst);
    m_gl.BlendEquation(BlendEquation(rs[D3DRS_BLENDOP]));
    m_dirty &= ~kDirtyBlend;
}

void Device::BindDepth() {
    const DWORD* rs = m_state.renderStates.data();
    const bool depth = rs[D3DRS_ZENABLE] != D3DZB_FALSE && m_hasDepth;
    m_gl.Enable(GlStateCache::kDepthTest, depth);
    // Without the depth test Direct3D does not clip z.
    m_gl.Enable(GlStateCache::kDepthClamp, !depth);
    m_gl.DepthFunc(CompareFunc(rs[D3DRS_ZFUNC]));
    m_gl.DepthMask(rs[D3DRS_ZWRITEENABLE] && depth);
    if (rs[D3DRS_STENCILENABLE]) WarnOnce(Unimplemented::StencilTest);
    m_dirty &= ~kDirtyDepth;
}

void Device::BindRasteriser() {
    const DWORD* rs = m_state.renderStates.data();
    // Pixels of the back buffer that the frame promises to draw over need no fragments now.
    const bool keep = m_keepPromised && m_backBuffer &&
                      m_renderTarget.Get() == static_cast<Texture*>(m_backBuffer.Get())->LevelSurface(0);
    m_gl.Enable(GlStateCache::kScissorTest, keep);
    if (keep) {
        const LONG k = static_cast<LONG>(TargetScale());
        m_gl.Scissor(m_keep.left * k, m_keep.top * k, std::max<LONG>(0, m_keep.right - m_keep.left) * k,
                     std::max<LONG>(0, m_keep.bottom - m_keep.top) * k);
    }
    // Screen-clockwise (Direct3D, y down) is GL's counter-clockwise in our top-row-first targets.
    const DWORD cull = rs[D3DRS_CULLMODE];
    m_gl.Enable(GlStateCache::kCullFace, cull == D3DCULL_CW || cull == D3DCULL_CCW);
    m_gl.CullFace(cull == D3DCULL_CW ? GL_FRONT : GL_BACK);
    const DWORD fill = rs[D3DRS_FILLMODE];
    m_gl.PolygonMode(fill == D3DFILL_POINT ? GL_POINT : fill == D3DFILL_WIREFRAME ? GL_LINE : GL_FILL);
    m_gl.ColorMask(rs[D3DRS_COLORWRITEENABLE] & 0xf);
    m_dirty &= ~kDirtyRasteriser;
}

void Device::BindViewport() {
    const D3DVIEWPORT8& vp = m_state.viewport;
    const UINT k = TargetScale();
    m_gl.Viewport(static_cast<GLint>(vp.X * k), static_cast<GLint>(vp.Y * k), static_cast<GLsizei>(vp.Width * k),
                  static_cast<GLsizei>(vp.Height * k));
    m_gl.DepthRange(vp.MinZ, vp.MaxZ);
    m_dirty &= ~kDirtyViewport;
}

// ---- the program and what it reads ------------------------------------------------------------

void Device::BuildKey(D3DPRIMITIVETYPE type, ProgramKey& k) const {
    k = ProgramKey{};
    const DWORD* rs = m_state.renderStates.data();
    const DWORD fvf = m_state.vertexShader;
    k.fvf = static_cast<uint16_t>(fvf & 0xffff);
    const bool rhw = (fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW;
    if (rs[D3DRS_LIGHTING] && !rhw) {
        k.lighting = 1;
        for (const auto& [index, slot] : m_state.lights)
            if (slot.enabled && k.lightCount < kMaxLights) ++k.lightCount;
        auto source = [&](DWORD which) -> uint8_t {
            if (!rs[D3DRS_COLORVERTEX]) return 0;
            if (which == D3DMCS_COLOR1 && (fvf & D3DFVF_DIFFUSE)) return 1;
            if (which == D3DMCS_COLOR2 && (fvf & D3DFVF_SPECULAR)) return 2;
            return 0;
        };
        k.diffuseSource = source(rs[D3DRS_DIFFUSEMATERIALSOURCE]);
        k.ambientSource = source(rs[D3DRS_AMBIENTMATERIALSOURCE]);
        k.emissiveSource = source(rs[D3DRS_EMISSIVEMATERIALSOURCE]);
    }
    k.specularAdd = rs[D3DRS_SPECULARENABLE] && (fvf & D3DFVF_SPECULAR) && !k.lighting;
    if (rs[D3DRS_ALPHATESTENABLE] && rs[D3DRS_ALPHAFUNC] != D3DCMP_ALWAYS)
        k.alphaFunc = static_cast<uint8_t>(rs[D3DRS_ALPHAFUNC]);
    k.points = type == D3DPT_POINTLIST;
    k.pointSprite = k.points && rs[D3DRS_POINTSPRITEENABLE];
    k.pointScale = k.points && rs[D3DRS_POINTSCALEENABLE];
    k.flatShade = rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT;
    k.triangles = type >= D3DPT_TRIANGLELIST;
    for (int s = 0; s < kMaxStages; ++s) {
        const DWORD* ts = m_state.stageStates[s].data();
        const DWORD op = ts[D3DTSS_COLOROP];
        if (op == D3DTOP_DISABLE || op == 0) break;
        const bool tex = m_state.textures[s].Get() != nullptr;
        // A stage that would read a missing texture is off, and so are those after it.
        if (!tex && UsesTexture(op, ts[D3DTSS_COLORARG0], ts[D3DTSS_COLORARG1], ts[D3DTSS_COLORARG2])) break;
        StageKey& sk = k.stages[s];
        sk.colorOp = static_cast<uint8_t>(op);
        sk.colorArg[0] = static_cast<uint8_t>(ts[D3DTSS_COLORARG0]);
        sk.colorArg[1] = static_cast<uint8_t>(ts[D3DTSS_COLORARG1]);
        sk.colorArg[2] = static_cast<uint8_t>(ts[D3DTSS_COLORARG2]);
        sk.alphaOp = static_cast<uint8_t>(ts[D3DTSS_ALPHAOP]);
        sk.alphaArg[0] = static_cast<uint8_t>(ts[D3DTSS_ALPHAARG0]);
        sk.alphaArg[1] = static_cast<uint8_t>(ts[D3DTSS_ALPHAARG1]);
        sk.alphaArg[2] = static_cast<uint8_t>(ts[D3DTSS_ALPHAARG2]);
        sk.resultTemp = ts[D3DTSS_RESULTARG] == D3DTA_TEMP;
        sk.hasTexture = tex;
        const DWORD tci = ts[D3DTSS_TEXCOORDINDEX];
        sk.texGen = static_cast<uint8_t>(std::min<DWORD>(tci >> 16, 3));
        sk.coordSet = static_cast<uint8_t>(std::min<DWORD>(tci & 0xffff, 7));
        const DWORD ttff = ts[D3DTSS_TEXTURETRANSFORMFLAGS];
        sk.transformCount = static_cast<uint8_t>(std::min<DWORD>(ttff & 0xff, 4));
        sk.projected = (ttff & D3DTTFF_PROJECTED) && sk.transformCount > 1;
        if (sk.texGen == 0 && k.triangles) sk.wrap = static_cast<uint8_t>(rs[D3DRS_WRAP0 + sk.coordSet] & 3);
    }
}

void Device::BindUniforms() {
    if (m_program->uniformStamp == m_uniformStamp) return;
    Program& p = *m_program;
    const ProgramUniforms& u = p.u;
    const DeviceState& st = m_state;
    const DWORD* rs = st.renderStates.data();
    const D3DMATRIX wv = Mul(st.transforms[kWorld], st.transforms[kView]);
    const D3DMATRIX wvp = Mul(wv, st.transforms[kProjection]);
    if (u.wvp >= 0) glUniformMatrix4fv(u.wvp, 1, GL_FALSE, &wvp.m[0][0]);
    if (u.wv >= 0) glUniformMatrix4fv(u.wv, 1, GL_FALSE, &wv.m[0][0]);
    if (u.normalMatrix >= 0) {
        float n[9];
        NormalMatrix(wv, n);
        glUniformMatrix3fv(u.normalMatrix, 1, GL_FALSE, n);
    }
    const D3DVIEWPORT8& vp = st.viewport;
    // Clip-space offset of 63/128 pixel: Direct3D's pixel centres are on integers. On a scaled
    // back buffer the pixels are the target's own, so the picture is the program's coordinates
    // times k, rasterised by the same rule.
    const float k = static_cast<float>(TargetScale());
    if (u.pixelOffset >= 0)
        glUniform2f(u.pixelOffset, 2.0f * (63.0f / 128.0f) / (static_cast<float>(vp.Width) * k),
                    2.0f * (63.0f / 128.0f) / (static_cast<float>(vp.Height) * k));
    // Pre-transformed positions get the 63/128 in the program's coordinates; moving the origin by
    // 63/128 (1 - 1/k) leaves 63/128 / k of it, which k turns into 63/128 of a target pixel.
    const float origin = (63.0f / 128.0f) * (1.0f - 1.0f / k);
    if (u.viewport >= 0)
        glUniform4f(u.viewport, static_cast<float>(vp.X) + origin, static_cast<float>(vp.Y) + origin,
                    static_cast<float>(vp.Width), static_cast<float>(vp.Height));
    for (int s = 0; s < kMaxStages; ++s)
        if (u.texMatrix[s] >= 0) glUniformMatrix4fv(u.texMatrix[s], 1, GL_FALSE, &st.transforms[kTexture0 + s].m[0][0]);
    float c[4];
    if (u.textureFactor >= 0) {
        ColorToFloats(rs[D3DRS_TEXTUREFACTOR], c);
        glUniform4fv(u.textureFactor, 1, c);
    }
    if (u.ambient >= 0) {
        ColorToFloats(rs[D3DRS_AMBIENT], c);
        glUniform4fv(u.ambient, 1, c);
    }
    if (u.materialDiffuse >= 0) glUniform4fv(u.materialDiffuse, 1, &st.material.Diffuse.r);
    if (u.materialAmbient >= 0) glUniform4fv(u.materialAmbient, 1, &st.material.Ambient.r);
    if (u.materialEmissive >= 0) glUniform4fv(u.materialEmissive, 1, &st.material.Emissive.r);
    if (u.lightDir >= 0 || u.lightAmbient >= 0) {
        float dir[kMaxLights * 3] = {}, dif[kMaxLights * 4] = {}, amb[kMaxLights * 4] = {};
        int n = 0;
        const D3DMATRIX& v = st.transforms[kView];
        for (const auto& [index, slot] : st.lights) {
            if (!slot.enabled || n == kMaxLights) continue;
            const D3DLIGHT8& l = slot.light;
            if (l.Type != D3DLIGHT_DIRECTIONAL) WarnOnce(Unimplemented::PointSpotLights);
            // The direction the light travels, in camera space, unit length.
            const D3DVECTOR& d = l.Direction;
            float x = d.x * v._11 + d.y * v._21 + d.z * v._31;
            float y = d.x * v._12 + d.y * v._22 + d.z * v._32;
            float z = d.x * v._13 + d.y * v._23 + d.z * v._33;
            float len = std::sqrt(x * x + y * y + z * z);
            if (len > 0) x /= len, y /= len, z /= len;
            dir[n * 3] = x, dir[n * 3 + 1] = y, dir[n * 3 + 2] = z;
            std::memcpy(&dif[n * 4], &l.Diffuse.r, sizeof(float) * 4);
            std::memcpy(&amb[n * 4], &l.Ambient.r, sizeof(float) * 4);
            ++n;
        }
        if (u.lightDir >= 0) glUniform3fv(u.lightDir, kMaxLights, dir);
        if (u.lightDiffuse >= 0) glUniform4fv(u.lightDiffuse, kMaxLights, dif);
        if (u.lightAmbient >= 0) glUniform4fv(u.lightAmbient, kMaxLights, amb);
    }
    if (u.alphaRef >= 0) glUniform1f(u.alphaRef, static_cast<float>(rs[D3DRS_ALPHAREF] & 0xff));
    if (u.pointParams >= 0)
        glUniform4f(u.pointParams, AsFloat(rs[D3DRS_POINTSIZE]), AsFloat(rs[D3DRS_POINTSIZE_MIN]),
                    AsFloat(rs[D3DRS_POINTSIZE_MAX]), k);
    if (u.pointScale >= 0)
        glUniform3f(u.pointScale, AsFloat(rs[D3DRS_POINTSCALE_A]), AsFloat(rs[D3DRS_POINTSCALE_B]),
                    AsFloat(rs[D3DRS_POINTSCALE_C]));
    p.uniformStamp = m_uniformStamp;
}

GLuint Device::SamplerFor(DWORD stage) {
    const DWORD* ts = m_state.stageStates[stage].data();
    const DWORD minF = ts[D3DTSS_MINFILTER] & 0xf, magF = ts[D3DTSS_MAGFILTER] & 0xf, mipF = ts[D3DTSS_MIPFILTER] & 0xf;
    const DWORD au = ts[D3DTSS_ADDRESSU] & 0xf, av = ts[D3DTSS_ADDRESSV] & 0xf;
    uint64_t key = minF | (magF << 4) | (mipF << 8) | (au << 12) | (av << 16);
    if (au == D3DTADDRESS_BORDER || av == D3DTADDRESS_BORDER) key |= static_cast<uint64_t>(ts[D3DTSS_BORDERCOLOR]) << 32;
    auto it = m_samplers.find(key);
    if (it != m_samplers.end()) return it->second;
    GLuint s = 0;
    glGenSamplers(1, &s);
    const bool minLinear = minF >= D3DTEXF_LINEAR;
    GLenum minMode = minLinear ? GL_LINEAR : GL_NEAREST;
    if (mipF == D3DTEXF_POINT) minMode = minLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    if (mipF >= D3DTEXF_LINEAR) minMode = minLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    glSamplerParameteri(s, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minMode));
    glSamplerParameteri(s, GL_TEXTURE_MAG_FILTER, magF >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
    glSamplerParameteri(s, GL_TEXTURE_WRAP_S, static_cast<GLint>(AddressMode(au)));
    glSamplerParameteri(s, GL_TEXTURE_WRAP_T, static_cast<GLint>(AddressMode(av)));
    float border[4];
    ColorToFloats(ts[D3DTSS_BORDERCOLOR], border);
    glSamplerParameterfv(s, GL_TEXTURE_BORDER_COLOR, border);
    m_samplers.emplace(key, s);
    return s;
}

void Device::BindTextures() {
    for (int s = 0; s < kMaxStages; ++s) {
        if (!m_key.stages[s].colorOp) break;
        if (!m_key.stages[s].hasTexture) continue;
        auto* tex = static_cast<Texture*>(m_state.textures[s].Get());
        GLuint sampler = SamplerFor(static_cast<DWORD>(s));
        m_gl.BindTexture(s, tex->Name());
        m_gl.BindSampler(s, sampler);
    }
    m_dirty &= ~kDirtyTextures;
}

void Device::SetupVertexLayout(GLuint buffer, const void* base, DWORD fvf, UINT stride) {
    if (m_gl.SameLayout(buffer, base, fvf, stride)) return;
    m_gl.BindArrayBuffer(buffer);
    const auto* at = static_cast<const char*>(base);
    bool used[13] = {};
    auto attrib = [&](GLuint loc, GLint size, GLenum type, GLboolean norm, UINT bytes) {
        glEnableVertexAttribArray(loc);
        glVertexAttribPointer(loc, size, type, norm, static_cast<GLsizei>(stride), at);
        used[loc] = true;
        at += bytes;
    };
    const UINT pos = PositionFloats(fvf);
    attrib(kAttribPosition, pos == 4 ? 4 : 3, GL_FLOAT, GL_FALSE, pos * 4);
    if (fvf & D3DFVF_NORMAL) attrib(kAttribNormal, 3, GL_FLOAT, GL_FALSE, 12);
    if (fvf & D3DFVF_PSIZE) attrib(kAttribPointSize, 1, GL_FLOAT, GL_FALSE, 4);
    // D3DCOLOR is 0xAARRGGBB: bytes B, G, R, A in memory, which GL_BGRA reads as RGBA.
    if (fvf & D3DFVF_DIFFUSE) attrib(kAttribDiffuse, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, 4);
    if (fvf & D3DFVF_SPECULAR) attrib(kAttribSpecular, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, 4);
    int sets = static_cast<int>((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
    for (int i = 0; i < sets && i < 8; ++i) {
        UINT n = TexCoordFloats(fvf, i);
        attrib(kAttribTexCoord0 + i, static_cast<GLint>(n), GL_FLOAT, GL_FALSE, n * 4);
    }
    for (GLuint loc = 0; loc < 13; ++loc)
        if (!used[loc]) glDisableVertexAttribArray(loc);
    m_gl.SetLayout(buffer, base, fvf, stride);
}

bool Device::BindProgram(D3DPRIMITIVETYPE type, bool dropWraps) {
    const bool points = type == D3DPT_POINTLIST, tris = type >= D3DPT_TRIANGLELIST;
    const bool keyPoints = m_keyPrimitive == D3DPT_POINTLIST, keyTris = m_keyPrimitive >= D3DPT_TRIANGLELIST;
    // The primitive's class (points, lines, triangles) is part of the key.
    if ((m_dirty & kDirtyProgramKey) || points != keyPoints || tris != keyTris || dropWraps != m_keyDropsWraps) {
        if (m_state.renderStates[D3DRS_FOGENABLE]) WarnOnce(Unimplemented::Fog);
        ProgramKey key;
        BuildKey(type, key);
        if (dropWraps) DropWraps(key);
        m_keyPrimitive = type;
        m_keyDropsWraps = dropWraps;
        m_dirty &= ~kDirtyProgramKey;
        if (!m_program || !(key == m_key)) {
            m_program = m_programs.Get(key, m_gl);
            m_key = key;
            // Another key may use other stages.
            m_dirty |= kDirtyTextures;
        }
    }
    if (!m_program) return false;
    m_gl.UseProgram(m_program->name);
    return true;
}

// ---- draws ------------------------------------------------------------------------------------

bool Device::StartDraw(D3DPRIMITIVETYPE type, const DrawVertices& vertices, HRESULT& result) {
    result = D3D_OK;
    if (D3D8_GetSkipDraws()) return false;
    result = D3DERR_INVALIDCALL;
    const DWORD fvf = m_state.vertexShader;
    if (fvf == 0 || fvf > 0xffffff || (fvf & D3DFVF_POSITION_MASK) == 0) return false;
    ProgramKey key;
    BuildKey(type, key);
    if (DrawChangesNothing(m_state, key, type, vertices)) {
        result = D3D_OK;
        return false;
    }
    if (m_dirty & kDirtyTargets) BindTargets();
    if (m_dirty & kDirtyBlend) BindBlend();
    if (m_dirty & kDirtyDepth) BindDepth();
    if (m_dirty & kDirtyRasteriser) BindRasteriser();
    if (m_dirty & kDirtyViewport) BindViewport();
    if (!BindProgram(type, WrapMovesNothing(key, fvf, type, vertices))) return false;
    BindUniforms();
    if (m_dirty & kDirtyTextures) BindTextures();
    result = D3D_OK;
    return true;
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex, UINT PrimitiveCount) {
    const UINT count = VertexCount(PrimitiveType, PrimitiveCount);
    auto* vb = static_cast<VertexBuffer*>(m_state.stream.Get());
    if (!vb || count == 0) return D3DERR_INVALIDCALL;
    const UINT stride = m_state.streamStride ? m_state.streamStride : FvfStride(m_state.vertexShader);
    if (stride == 0 || static_cast<uint64_t>(StartVertex + count) * stride > vb->Store().Length()) return D3DERR_INVALIDCALL;
    HRESULT hr;
    if (!StartDraw(PrimitiveType, {vb->Store().Bytes(), vb->Store().Length(), stride, nullptr, 2, StartVertex, count, 0},
                   hr))
        return hr;
    SetupVertexLayout(vb->Store().Name(), nullptr, m_state.vertexShader, stride);
    glDrawArrays(PrimitiveMode(PrimitiveType), static_cast<GLint>(StartVertex), static_cast<GLsizei>(count));
    D3D8_GL_CHECK("DrawPrimitive");
    return D3D_OK;
}

HRESULT Device::DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT, UINT, UINT StartIndex, UINT PrimitiveCount) {
    const UINT count = VertexCount(PrimitiveType, PrimitiveCount);
    auto* vb = static_cast<VertexBuffer*>(m_state.stream.Get());
    auto* ib = static_cast<IndexBuffer*>(m_state.indices.Get());
    if (!vb || !ib || count == 0) return D3DERR_INVALIDCALL;
    const UINT indexSize = ib->Format() == D3DFMT_INDEX32 ? 4 : 2;
    if (static_cast<uint64_t>(StartIndex + count) * indexSize > ib->Store().Length()) return D3DERR_INVALIDCALL;
    const UINT stride = m_state.streamStride ? m_state.streamStride : FvfStride(m_state.vertexShader);
    HRESULT hr;
    if (!StartDraw(PrimitiveType, {vb->Store().Bytes(), vb->Store().Length(), stride,
                                   ib->Store().Bytes() + static_cast<size_t>(StartIndex) * indexSize, indexSize, 0,
                                   count, m_state.baseVertexIndex},
                   hr))
        return hr;
    SetupVertexLayout(vb->Store().Name(), nullptr, m_state.vertexShader, stride);
    m_gl.BindElementBuffer(ib->Store().Name());
    glDrawElementsBaseVertex(PrimitiveMode(PrimitiveType), static_cast<GLsizei>(count),
                             indexSize == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                             reinterpret_cast<const void*>(static_cast<uintptr_t>(StartIndex) * indexSize),
                             static_cast<GLint>(m_state.baseVertexIndex));
    D3D8_GL_CHECK("DrawIndexedPrimitive");
    return D3D_OK;
}

HRESULT Device::DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount, const void* pVertexStreamZeroData,
                                UINT VertexStreamZeroStride) {
    const UINT count = VertexCount(PrimitiveType, PrimitiveCount);
    if (!pVertexStreamZeroData || count == 0 || VertexStreamZeroStride == 0) return D3DERR_INVALIDCALL;
    // As Direct3D does, a UP draw leaves stream 0 unset.
    m_state.stream.Reset(nullptr, false);
    m_state.streamStride = 0;
    HRESULT hr;
    if (!StartDraw(PrimitiveType, {static_cast<const BYTE*>(pVertexStreamZeroData),
                                   static_cast<size_t>(count) * VertexStreamZeroStride, VertexStreamZeroStride, nullptr,
                                   2, 0, count, 0},
                   hr))
        return hr;
    m_gl.BindArrayBuffer(m_userVertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count) * VertexStreamZeroStride, pVertexStreamZeroData,
                 GL_STREAM_DRAW);
    SetupVertexLayout(m_userVertexBuffer, nullptr, m_state.vertexShader, VertexStreamZeroStride);
    glDrawArrays(PrimitiveMode(PrimitiveType), 0, static_cast<GLsizei>(count));
    D3D8_GL_CHECK("DrawPrimitiveUP");
    return D3D_OK;
}

HRESULT Device::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT MinVertexIndex, UINT NumVertexIndices,
                                       UINT PrimitiveCount, const void* pIndexData, D3DFORMAT IndexDataFormat,
                                       const void* pVertexStreamZeroData, UINT VertexStreamZeroStride) {
    const UINT count = VertexCount(PrimitiveType, PrimitiveCount);
    if (!pIndexData || !pVertexStreamZeroData || count == 0 || VertexStreamZeroStride == 0 ||
        (IndexDataFormat != D3DFMT_INDEX16 && IndexDataFormat != D3DFMT_INDEX32))
        return D3DERR_INVALIDCALL;
    m_state.stream.Reset(nullptr, false);
    m_state.streamStride = 0;
    m_state.indices.Reset(nullptr, false);
    const UINT indexSize = IndexDataFormat == D3DFMT_INDEX32 ? 4 : 2;
    HRESULT hr;
    if (!StartDraw(PrimitiveType, {static_cast<const BYTE*>(pVertexStreamZeroData),
                                   static_cast<size_t>(MinVertexIndex + NumVertexIndices) * VertexStreamZeroStride,
                                   VertexStreamZeroStride, static_cast<const BYTE*>(pIndexData), indexSize, 0, count, 0},
                   hr))
        return hr;
    m_gl.BindArrayBuffer(m_userVertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(MinVertexIndex + NumVertexIndices) * VertexStreamZeroStride,
                 pVertexStreamZeroData, GL_STREAM_DRAW);
    SetupVertexLayout(m_userVertexBuffer, nullptr, m_state.vertexShader, VertexStreamZeroStride);
    m_gl.BindElementBuffer(m_userIndexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(count) * indexSize, pIndexData, GL_STREAM_DRAW);
    glDrawElements(PrimitiveMode(PrimitiveType), static_cast<GLsizei>(count),
                   indexSize == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT, nullptr);
    D3D8_GL_CHECK("DrawIndexedPrimitiveUP");
    return D3D_OK;
}

}  // namespace velunar::d3d8
