// d3d8_gl_cache.cpp - GlStateCache's compare-then-call setters.
#include "platform/d3d8/d3d8_gl_cache.h"

namespace velunar::d3d8 {
namespace {

constexpr GLenum kCapNames[GlStateCache::kCapCount] = {GL_BLEND, GL_DEPTH_TEST, GL_CULL_FACE, GL_DEPTH_CLAMP,
                                                       GL_SCISSOR_TEST};

}  // namespace

void GlStateCache::Enable(Cap cap, bool on) {
    const int8_t want = on ? 1 : 0;
    if (m_caps[cap] == want) return;
    m_caps[cap] = want;
    on ? glEnable(kCapNames[cap]) : glDisable(kCapNames[cap]);
}

void GlStateCache::BlendFunc(GLenum src, GLenum dst) {
    if (src == m_srcBlend && dst == m_dstBlend) return;
    glBlendFunc(src, dst);
    m_srcBlend = src, m_dstBlend = dst;
}

void GlStateCache::BlendEquation(GLenum mode) {
    if (mode != m_blendEquation) glBlendEquation(m_blendEquation = mode);
}

void GlStateCache::DepthFunc(GLenum func) {
    if (func != m_depthFunc) glDepthFunc(m_depthFunc = func);
}

void GlStateCache::DepthMask(bool write) {
    const uint32_t want = write ? 1 : 0;
    if (want == m_depthMask) return;
    m_depthMask = want;
    glDepthMask(write ? GL_TRUE : GL_FALSE);
}

void GlStateCache::CullFace(GLenum face) {
    if (face != m_cullFace) glCullFace(m_cullFace = face);
}

void GlStateCache::PolygonMode(GLenum mode) {
    if (mode != m_polygonMode) glPolygonMode(GL_FRONT_AND_BACK, m_polygonMode = mode);
}

void GlStateCache::ColorMask(uint32_t mask) {
    mask &= 0xf;
    if (mask == m_colorMask) return;
    glColorMask(mask & 1, (mask >> 1) & 1, (mask >> 2) & 1, (mask >> 3) & 1);
    m_colorMask = mask;
}

void GlStateCache::Viewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    if (x == m_viewport[0] && y == m_viewport[1] && width == m_viewport[2] && height == m_viewport[3]) return;
    glViewport(x, y, width, height);
    m_viewport[0] = x, m_viewport[1] = y, m_viewport[2] = width, m_viewport[3] = height;
}

void GlStateCache::Scissor(GLint x, GLint y, GLsizei width, GLsizei height) {
    if (x == m_scissor[0] && y == m_scissor[1] && width == m_scissor[2] && height == m_scissor[3]) return;
    glScissor(x, y, width, height);
    m_scissor[0] = x, m_scissor[1] = y, m_scissor[2] = width, m_scissor[3] = height;
}

void GlStateCache::BindFramebuffers(GLuint draw, GLuint read) {
    if (draw == m_drawFramebuffer && read == m_readFramebuffer) return;
    if (draw == read) {
        glBindFramebuffer(GL_FRAMEBUFFER, draw);
    } else {
        if (draw != m_drawFramebuffer) glBindFramebuffer(GL_DRAW_FRAMEBUFFER, draw);
        if (read != m_readFramebuffer) glBindFramebuffer(GL_READ_FRAMEBUFFER, read);
    }
    m_drawFramebuffer = draw, m_readFramebuffer = read;
}

void GlStateCache::DepthRange(float nearZ, float farZ) {
    if (nearZ == m_depthRange[0] && farZ == m_depthRange[1]) return;
    glDepthRange(nearZ, farZ);
    m_depthRange[0] = nearZ, m_depthRange[1] = farZ;
}

void GlStateCache::UseProgram(GLuint program) {
    if (program != m_program) glUseProgram(m_program = program);
}

void GlStateCache::ActiveUnit(int unit) {
    if (unit == m_activeUnit) return;
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    m_activeUnit = unit;
}

void GlStateCache::BindTexture(int unit, GLuint texture) {
    if (m_textures[unit] == texture) return;
    ActiveUnit(unit);
    glBindTexture(GL_TEXTURE_2D, texture);
    m_textures[unit] = texture;
}

void GlStateCache::BindTextureForTransfer(GLuint texture) {
    ActiveUnit(0);
    BindTexture(0, texture);
}

void GlStateCache::BindSampler(int unit, GLuint sampler) {
    if (m_samplers[unit] == sampler) return;
    glBindSampler(static_cast<GLuint>(unit), sampler);
    m_samplers[unit] = sampler;
}

void GlStateCache::BindArrayBuffer(GLuint buffer) {
    if (m_arrayBuffer != buffer) glBindBuffer(GL_ARRAY_BUFFER, m_arrayBuffer = buffer);
}

void GlStateCache::BindElementBuffer(GLuint buffer) {
    if (m_elementBuffer != buffer) glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_elementBuffer = buffer);
}

bool GlStateCache::SameLayout(GLuint buffer, const void* base, uint32_t fvf, uint32_t stride) const {
    return m_layoutBuffer == buffer && m_layoutBase == base && m_layoutFvf == fvf && m_layoutStride == stride;
}

void GlStateCache::SetLayout(GLuint buffer, const void* base, uint32_t fvf, uint32_t stride) {
    m_layoutBuffer = buffer, m_layoutBase = base, m_layoutFvf = fvf, m_layoutStride = stride;
}

void GlStateCache::ForgetTexture(GLuint texture) {
    for (GLuint& t : m_textures)
        if (t == texture) t = 0;
}

void GlStateCache::ForgetBuffer(GLuint buffer) {
    if (m_layoutBuffer == buffer) m_layoutBuffer = 0, m_layoutFvf = 0;
    if (m_arrayBuffer == buffer) m_arrayBuffer = 0;
    if (m_elementBuffer == buffer) m_elementBuffer = 0;
}

}  // namespace velunar::d3d8
