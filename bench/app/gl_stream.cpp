// gl_stream.cpp - the recorder: each hooked entry point keeps its arguments (and copies of the data
// its pointers reach) as a closure that calls the real GL function, then calls it now.
#include "gl_stream.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <chrono>
#include <cstdio>
#include <type_traits>

namespace velunar::bench {
namespace {

GlStream* g_stream = nullptr;
GLint g_unpackRowLength = 0;

// What the profile says about a draw.
struct Tracked {
    bool blend = false, depthTest = false;
    GLenum src = GL_ONE, dst = GL_ZERO;
    GLboolean depthMask = GL_TRUE;
    GLboolean colorMask[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
    GLuint program = 0;
} g_tracked;

void NoteDraw(GLenum mode, GLsizei count) {
    if (!g_stream) return;
    ++g_stream->draws;
    g_stream->drawAt.push_back(g_stream->calls.size());
    const Tracked& t = g_tracked;
    char note[160];
    std::snprintf(note, sizeof note, "mode %u count %d program %u blend %s 0x%x 0x%x depth %s write %d colour %d%d%d%d",
                  mode, count, t.program, t.blend ? "on" : "off", t.src, t.dst, t.depthTest ? "on" : "off",
                  t.depthMask, t.colorMask[0], t.colorMask[1], t.colorMask[2], t.colorMask[3]);
    g_stream->drawNotes.emplace_back(note);
}

template <auto* Slot>
using Fn = std::remove_reference_t<decltype(*Slot)>;

template <auto* Slot>
struct Real {
    static inline Fn<Slot> fn = nullptr;
};

// The real function comes from the GL library itself: an epoxy pointer not yet resolved would, once
// called, call whatever its slot holds, which is the hook.
template <auto* Slot>
void Hook(Fn<Slot> hook, const char* name) {
    if (*Slot == hook) return;
    void* real = SDL_GL_GetProcAddress(name);
    Real<Slot>::fn = real ? reinterpret_cast<Fn<Slot>>(real) : *Slot;
    *Slot = hook;
}

void Keep(std::function<void()> call) {
    if (g_stream) g_stream->calls.push_back(std::move(call));
}

// Calls without pointers: the arguments are the whole call.
template <auto* Slot, typename F = Fn<Slot>>
struct Plain;
template <auto* Slot, typename... A>
struct Plain<Slot, void (*)(A...)> {
    static void Call(A... a) {
        Keep([a...] { Real<Slot>::fn(a...); });
        Real<Slot>::fn(a...);
    }
};

// Calls that create or delete objects or build programs: passed through, the frame marked.
template <auto* Slot, typename F = Fn<Slot>>
struct Churn;
template <auto* Slot, typename R, typename... A>
struct Churn<Slot, R (*)(A...)> {
    static R Call(A... a) {
        if (g_stream) g_stream->churn = true;
        if constexpr (std::is_void_v<R>) {
            Real<Slot>::fn(a...);
        } else {
            return Real<Slot>::fn(a...);
        }
    }
};

// Deletes during a recording are held back until ReleaseHeldGlObjects: a frame that makes and drops
// its own buffers or textures then replays into names that still exist and are not handed out again.
std::vector<std::function<void()>> g_held;

template <auto* Slot>
struct Defer {
    static void Call(GLsizei n, const GLuint* names) {
        if (!g_stream) return Real<Slot>::fn(n, names);
        std::vector<GLuint> kept(names, names + n);
        g_held.push_back([kept] { Real<Slot>::fn(static_cast<GLsizei>(kept.size()), kept.data()); });
    }
};

template <auto* Slot, typename... A>
void Forward(A... a) {
    Real<Slot>::fn(a...);
}

template <typename T>
std::vector<T> Copy(const void* p, size_t n) {
    const T* t = static_cast<const T*>(p);
    return p ? std::vector<T>(t, t + n) : std::vector<T>();
}

size_t BytesPerPixel(GLenum format, GLenum type) {
    switch (type) {
        case GL_UNSIGNED_SHORT_5_6_5:
        case GL_UNSIGNED_SHORT_1_5_5_5_REV:
        case GL_UNSIGNED_SHORT_4_4_4_4_REV:
        case GL_UNSIGNED_SHORT:
            return 2;
        case GL_UNSIGNED_INT_8_8_8_8_REV:
        case GL_UNSIGNED_INT_24_8:
        case GL_UNSIGNED_INT:
        case GL_FLOAT:
            return 4;
        default:
            break;
    }
    switch (format) {
        case GL_RED: return 1;
        case GL_RG: return 2;
        case GL_RGB:
        case GL_BGR: return 3;
        default: return 4;
    }
}

// The device uploads with an unpack alignment of 1.
size_t ImageBytes(GLsizei w, GLsizei h, GLenum format, GLenum type) {
    const size_t row = static_cast<size_t>(g_unpackRowLength > 0 ? g_unpackRowLength : w);
    return h > 0 ? (row * static_cast<size_t>(h - 1) + static_cast<size_t>(w)) * BytesPerPixel(format, type) : 0;
}

#define REAL(name) Real<&epoxy_gl##name>::fn
#define FORWARD(name, ...) Forward<&epoxy_gl##name>(__VA_ARGS__)

void PixelStoreiHook(GLenum p, GLint v) {
    if (p == GL_UNPACK_ROW_LENGTH) g_unpackRowLength = v;
    Keep([p, v] { REAL(PixelStorei)(p, v); });
    FORWARD(PixelStorei, p, v);
}

#define UNIFORM_V(name, n)                                                             \
    void name##Hook(GLint l, GLsizei c, const GLfloat* v) {                            \
        Keep([l, c, d = Copy<GLfloat>(v, size_t(n) * c)] { REAL(name)(l, c, d.data()); }); \
        FORWARD(name, l, c, v);                                                        \
    }
UNIFORM_V(Uniform3fv, 3)
UNIFORM_V(Uniform4fv, 4)
#define UNIFORM_M(name, n)                                                                        \
    void name##Hook(GLint l, GLsizei c, GLboolean tr, const GLfloat* v) {                         \
        Keep([l, c, tr, d = Copy<GLfloat>(v, size_t(n) * c)] { REAL(name)(l, c, tr, d.data()); }); \
        FORWARD(name, l, c, tr, v);                                                               \
    }
UNIFORM_M(UniformMatrix3fv, 9)
UNIFORM_M(UniformMatrix4fv, 16)

void BufferDataHook(GLenum t, GLsizeiptr n, const void* p, GLenum u) {
    Keep([t, n, u, d = Copy<char>(p, static_cast<size_t>(n)), has = p != nullptr] {
        REAL(BufferData)(t, n, has ? d.data() : nullptr, u);
    });
    FORWARD(BufferData, t, n, p, u);
}
void BufferSubDataHook(GLenum t, GLintptr o, GLsizeiptr n, const void* p) {
    Keep([t, o, n, d = Copy<char>(p, static_cast<size_t>(n))] { REAL(BufferSubData)(t, o, n, d.data()); });
    FORWARD(BufferSubData, t, o, n, p);
}
void TexSubImage2DHook(GLenum t, GLint l, GLint x, GLint y, GLsizei w, GLsizei h, GLenum f, GLenum ty,
                         const void* p) {
    Keep([=, d = Copy<char>(p, ImageBytes(w, h, f, ty))] { REAL(TexSubImage2D)(t, l, x, y, w, h, f, ty, d.data()); });
    FORWARD(TexSubImage2D, t, l, x, y, w, h, f, ty, p);
}
void TexImage2DHook(GLenum t, GLint l, GLint inf, GLsizei w, GLsizei h, GLint b, GLenum f, GLenum ty,
                      const void* p) {
    Keep([=, d = Copy<char>(p, ImageBytes(w, h, f, ty)), has = p != nullptr] {
        REAL(TexImage2D)(t, l, inf, w, h, b, f, ty, has ? d.data() : nullptr);
    });
    FORWARD(TexImage2D, t, l, inf, w, h, b, f, ty, p);
}
// A read-back costs the wait for the GPU and the copy; the replay reads into a scratch buffer.
void GetTexImageHook(GLenum t, GLint l, GLenum f, GLenum ty, void* p) {
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(t, l, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(t, l, GL_TEXTURE_HEIGHT, &h);
    const size_t n = static_cast<size_t>(w) * static_cast<size_t>(h) * BytesPerPixel(f, ty);
    Keep([t, l, f, ty, n] {
        std::vector<char> scratch(n);
        REAL(GetTexImage)(t, l, f, ty, scratch.data());
    });
    FORWARD(GetTexImage, t, l, f, ty, p);
}
void TexParameterivHook(GLenum t, GLenum p, const GLint* v) {
    Keep([t, p, d = Copy<GLint>(v, 4)] { REAL(TexParameteriv)(t, p, d.data()); });
    FORWARD(TexParameteriv, t, p, v);
}
void SamplerParameterfvHook(GLuint s, GLenum p, const GLfloat* v) {
    Keep([s, p, d = Copy<GLfloat>(v, 4)] { REAL(SamplerParameterfv)(s, p, d.data()); });
    FORWARD(SamplerParameterfv, s, p, v);
}
#define DRAW(name, ...)                                 \
    NoteDraw(m, c);                                     \
    Keep([__VA_ARGS__] { REAL(name)(__VA_ARGS__); });  \
    FORWARD(name, __VA_ARGS__)
void DrawArraysHook(GLenum m, GLint f, GLsizei c) { DRAW(DrawArrays, m, f, c); }
void DrawElementsHook(GLenum m, GLsizei c, GLenum t, const void* i) { DRAW(DrawElements, m, c, t, i); }
void DrawElementsBaseVertexHook(GLenum m, GLsizei c, GLenum t, const void* i, GLint b) {
    DRAW(DrawElementsBaseVertex, m, c, t, i, b);
}
// The attribute pointer is an offset into the bound buffer: the value is the whole argument.
void VertexAttribPointerHook(GLuint i, GLint s, GLenum t, GLboolean n, GLsizei st, const void* p) {
    Keep([=] { REAL(VertexAttribPointer)(i, s, t, n, st, p); });
    FORWARD(VertexAttribPointer, i, s, t, n, st, p);
}

void EnableHook(GLenum cap) {
    if (cap == GL_BLEND) g_tracked.blend = true;
    if (cap == GL_DEPTH_TEST) g_tracked.depthTest = true;
    Plain<&epoxy_glEnable>::Call(cap);
}
void DisableHook(GLenum cap) {
    if (cap == GL_BLEND) g_tracked.blend = false;
    if (cap == GL_DEPTH_TEST) g_tracked.depthTest = false;
    Plain<&epoxy_glDisable>::Call(cap);
}
void BlendFuncHook(GLenum s, GLenum d) {
    g_tracked.src = s, g_tracked.dst = d;
    Plain<&epoxy_glBlendFunc>::Call(s, d);
}
void DepthMaskHook(GLboolean m) {
    g_tracked.depthMask = m;
    Plain<&epoxy_glDepthMask>::Call(m);
}
void ColorMaskHook(GLboolean r, GLboolean g, GLboolean b, GLboolean a) {
    g_tracked.colorMask[0] = r, g_tracked.colorMask[1] = g, g_tracked.colorMask[2] = b, g_tracked.colorMask[3] = a;
    Plain<&epoxy_glColorMask>::Call(r, g, b, a);
}
void UseProgramHook(GLuint p) {
    g_tracked.program = p;
    Plain<&epoxy_glUseProgram>::Call(p);
}

#define HOOK(name) Hook<&epoxy_gl##name>(&name##Hook, "gl" #name)
#define PLAIN(name) Hook<&epoxy_gl##name>(&Plain<&epoxy_gl##name>::Call, "gl" #name)
#define DEFER(name) Hook<&epoxy_gl##name>(&Defer<&epoxy_gl##name>::Call, "gl" #name)
#define CHURN(name) Hook<&epoxy_gl##name>(&Churn<&epoxy_gl##name>::Call, "gl" #name)

}  // namespace

void InstallGlRecorder() {
    // The device may have set this state before the hooks were in: start from what GL holds.
    Tracked& t = g_tracked;
    t.blend = glIsEnabled(GL_BLEND);
    t.depthTest = glIsEnabled(GL_DEPTH_TEST);
    GLint v = 0;
    glGetIntegerv(GL_BLEND_SRC_RGB, &v);
    t.src = static_cast<GLenum>(v);
    glGetIntegerv(GL_BLEND_DST_RGB, &v);
    t.dst = static_cast<GLenum>(v);
    glGetIntegerv(GL_CURRENT_PROGRAM, &v);
    t.program = static_cast<GLuint>(v);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &t.depthMask);
    glGetBooleanv(GL_COLOR_WRITEMASK, t.colorMask);
    PLAIN(ActiveTexture); PLAIN(BindBuffer); PLAIN(BindFramebuffer); PLAIN(BindRenderbuffer);
    PLAIN(BindSampler); PLAIN(BindTexture); PLAIN(BindVertexArray); PLAIN(BlendEquation);
    HOOK(BlendFunc); PLAIN(BlitFramebuffer); PLAIN(Clear); PLAIN(ClearColor); PLAIN(ClearDepth);
    PLAIN(ClearStencil); HOOK(ColorMask); PLAIN(CullFace); PLAIN(DepthFunc); HOOK(DepthMask);
    PLAIN(DepthRange); HOOK(Disable); HOOK(Enable); PLAIN(DisableVertexAttribArray);
    PLAIN(EnableVertexAttribArray); PLAIN(FramebufferRenderbuffer); PLAIN(FramebufferTexture2D);
    PLAIN(PointParameteri); PLAIN(PolygonMode); PLAIN(ProvokingVertex); PLAIN(SamplerParameteri);
    PLAIN(Scissor); PLAIN(StencilMask); PLAIN(TexParameteri); PLAIN(Uniform1f); PLAIN(Uniform1i);
    PLAIN(Uniform2f); PLAIN(Uniform3f); PLAIN(Uniform4f); HOOK(UseProgram); PLAIN(Viewport);
    HOOK(PixelStorei); HOOK(Uniform3fv); HOOK(Uniform4fv); HOOK(UniformMatrix3fv);
    HOOK(UniformMatrix4fv); HOOK(BufferData); HOOK(BufferSubData); HOOK(TexSubImage2D);
    HOOK(TexImage2D); HOOK(GetTexImage); HOOK(TexParameteriv); HOOK(SamplerParameterfv);
    HOOK(DrawArrays); HOOK(DrawElements); HOOK(DrawElementsBaseVertex); HOOK(VertexAttribPointer);
    DEFER(DeleteBuffers); DEFER(DeleteFramebuffers); DEFER(DeleteTextures); DEFER(DeleteSamplers);
    DEFER(DeleteRenderbuffers); DEFER(DeleteVertexArrays);
    CHURN(DeleteShader); CHURN(DeleteProgram); CHURN(CreateShader); CHURN(CreateProgram); CHURN(ShaderSource);
    CHURN(CompileShader); CHURN(LinkProgram); CHURN(AttachShader); CHURN(RenderbufferStorage);
}

void RecordGlInto(GlStream* stream) { g_stream = stream; }

void ReleaseHeldGlObjects() {
    for (const auto& release : g_held) release();
    g_held.clear();
}

std::vector<double> ReplayTimingDraws(const GlStream& stream) {
    using Clock = std::chrono::steady_clock;
    std::vector<double> seconds;
    glFinish();
    size_t next = 0;
    for (size_t d = 0; d < stream.drawAt.size(); ++d) {
        for (; next < stream.drawAt[d]; ++next) stream.calls[next]();
        glFinish();
        const auto a = Clock::now();
        stream.calls[next++]();
        glFinish();
        seconds.push_back(std::chrono::duration<double>(Clock::now() - a).count());
    }
    for (; next < stream.calls.size(); ++next) stream.calls[next]();
    return seconds;
}

void Replay(const GlStream& stream) {
    for (const auto& call : stream.calls) call();
}

}  // namespace velunar::bench
