// d3d8_gl_cache.h - GlStateCache, what the device last told GL: each setter compares with the
// value GL already holds and calls GL only on a change. Clear, present and draws all go through
// it, so the values it holds stay true. A value not yet set is unknown and always reaches GL.
// Depends on: d3d8_gl.h.
#pragma once

#include <cstdint>

#include "platform/d3d8/d3d8_gl.h"

namespace velunar::d3d8 {

class GlStateCache {
public:
    static constexpr int kUnits = 4;  // texture units the device binds

    // Capabilities switched with glEnable / glDisable.
    enum Cap : int { kBlend, kDepthTest, kCullFace, kDepthClamp, kScissorTest, kCapCount };
    void Enable(Cap cap, bool on);

    void BlendFunc(GLenum src, GLenum dst);
    void BlendEquation(GLenum mode);
    void DepthFunc(GLenum func);
    void DepthMask(bool write);
    void CullFace(GLenum face);
    void PolygonMode(GLenum mode);
    // Bits 0 ... 3: red, green, blue, alpha.
    void ColorMask(uint32_t mask);
    void Viewport(GLint x, GLint y, GLsizei width, GLsizei height);
    void Scissor(GLint x, GLint y, GLsizei width, GLsizei height);
    // The framebuffers draws write and reads and blits take (0: the window's).
    void BindFramebuffers(GLuint draw, GLuint read);
    void BindFramebuffer(GLuint framebuffer) { BindFramebuffers(framebuffer, framebuffer); }
    void DepthRange(float nearZ, float farZ);

    void UseProgram(GLuint program);
    // Binds a 2D texture on a unit, making that unit the active one when it binds.
    void BindTexture(int unit, GLuint texture);
    // Binds a texture on unit 0 and makes unit 0 active, for an upload or a read-back.
    void BindTextureForTransfer(GLuint texture);
    void BindSampler(int unit, GLuint sampler);
    void BindArrayBuffer(GLuint buffer);
    void BindElementBuffer(GLuint buffer);

    // The vertex layout last specified; SameLayout is true when these arguments would repeat it.
    bool SameLayout(GLuint buffer, const void* base, uint32_t fvf, uint32_t stride) const;
    void SetLayout(GLuint buffer, const void* base, uint32_t fvf, uint32_t stride);

    // GL names being deleted, which GL may hand out again.
    void ForgetTexture(GLuint texture);
    void ForgetBuffer(GLuint buffer);

private:
    void ActiveUnit(int unit);

    static constexpr uint32_t kUnknown = 0xffffffffu;

    int8_t m_caps[kCapCount] = {-1, -1, -1, -1, -1};  // -1 unknown, 0 off, 1 on
    GLenum m_srcBlend = kUnknown, m_dstBlend = kUnknown, m_blendEquation = kUnknown;
    GLenum m_depthFunc = kUnknown, m_cullFace = kUnknown, m_polygonMode = kUnknown;
    uint32_t m_depthMask = kUnknown;
    uint32_t m_colorMask = kUnknown;
    GLint m_viewport[4] = {-1, -1, -1, -1};
    GLint m_scissor[4] = {-1, -1, -1, -1};
    GLuint m_drawFramebuffer = kUnknown, m_readFramebuffer = kUnknown;
    float m_depthRange[2] = {-1.f, -1.f};
    GLuint m_program = 0;
    int m_activeUnit = -1;
    GLuint m_textures[kUnits] = {};
    GLuint m_samplers[kUnits] = {};
    GLuint m_arrayBuffer = 0, m_elementBuffer = 0;
    GLuint m_layoutBuffer = 0;
    const void* m_layoutBase = nullptr;
    uint32_t m_layoutFvf = 0, m_layoutStride = 0;
};

}  // namespace velunar::d3d8
