// The cost of drawing through our Direct3D 8 device against the same draws issued straight to GL,
// side by side in one run: small draws (the CPU cost per draw, with and without state changes
// between them) and full-screen blended quads (fill). The raw GL side runs in a context of its own
// so neither disturbs the other's bindings. Run with SDL_VIDEODRIVER=offscreen for headless numbers.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <cstdio>

#include "platform/d3d8/d3d8.h"
#include "support/device.h"

namespace {

struct ScreenVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
};

constexpr int kDraws = 500;  // draws per iteration of the small-draw benchmarks
constexpr int kFills = 10;   // full-screen quads per iteration of the fill benchmarks

IDirect3D8* g_d3d = nullptr;
IDirect3DDevice8* g_dev = nullptr;
IDirect3DTexture8* g_tex[2] = {};
SDL_Window* g_devWindow = nullptr;
SDL_GLContext g_devContext = nullptr;

// The raw GL side: a program that does what the device's does for a pre-transformed, coloured,
// optionally textured quad, an 800 x 600 framebuffer and a streaming vertex buffer.
struct RawGl {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    GLuint program = 0, vao = 0, vbo = 0, fbo = 0, colour = 0, depth = 0, tex[2] = {};
    GLint texLoc = -1;
} g_raw;

GLuint Compile(GLenum type, const char* src) {
    GLuint s = glCreateShader(type);
    glShaderSource(s, 1, &src, nullptr);
    glCompileShader(s);
    return s;
}

void InitRaw() {
    g_raw.window = SDL_CreateWindow("raw", 0, 0, 800, 600, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    g_raw.context = SDL_GL_CreateContext(g_raw.window);
    SDL_GL_MakeCurrent(g_raw.window, g_raw.context);
    const char* vs =
        "#version 330 core\nlayout(location=0) in vec4 a_pos;\nlayout(location=3) in vec4 a_col;\nout vec4 v_col;\n"
        "out vec2 v_tc;\nvoid main(){ vec2 ndc=(a_pos.xy+vec2(0.4921875))/vec2(800.0,600.0)*2.0-1.0;"
        " gl_Position=vec4(ndc, 2.0*a_pos.z-1.0, 1.0); v_col=a_col; v_tc=a_pos.xy/800.0; }\n";
    const char* fs =
        "#version 330 core\nin vec4 v_col;\nin vec2 v_tc;\nuniform sampler2D u_tex;\nout vec4 o;\n"
        "void main(){ o = clamp(texture(u_tex, v_tc) * v_col, 0.0, 1.0); }\n";
    g_raw.program = glCreateProgram();
    glAttachShader(g_raw.program, Compile(GL_VERTEX_SHADER, vs));
    glAttachShader(g_raw.program, Compile(GL_FRAGMENT_SHADER, fs));
    glLinkProgram(g_raw.program);
    glUseProgram(g_raw.program);
    g_raw.texLoc = glGetUniformLocation(g_raw.program, "u_tex");
    glUniform1i(g_raw.texLoc, 0);
    glGenVertexArrays(1, &g_raw.vao);
    glBindVertexArray(g_raw.vao);
    glGenBuffers(1, &g_raw.vbo);
    glBindBuffer(GL_ARRAY_BUFFER, g_raw.vbo);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(3);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, sizeof(ScreenVertex), nullptr);
    glVertexAttribPointer(3, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(ScreenVertex), reinterpret_cast<void*>(16));
    glGenTextures(1, &g_raw.colour);
    glBindTexture(GL_TEXTURE_2D, g_raw.colour);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 800, 600, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    glGenRenderbuffers(1, &g_raw.depth);
    glBindRenderbuffer(GL_RENDERBUFFER, g_raw.depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, 800, 600);
    glGenFramebuffers(1, &g_raw.fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, g_raw.fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, g_raw.colour, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, g_raw.depth);
    glViewport(0, 0, 800, 600);
    unsigned texel[2] = {0xffffffffu, 0xff808080u};
    for (int i = 0; i < 2; ++i) {
        glGenTextures(1, &g_raw.tex[i]);
        glBindTexture(GL_TEXTURE_2D, g_raw.tex[i]);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, &texel[i]);
    }
    SDL_GL_MakeCurrent(g_devWindow, g_devContext);
}

bool Init() {
    g_d3d = Direct3DCreate8(D3D_SDK_VERSION);
    if (!g_d3d) return false;
    g_dev = velunar_test::CreateDevice(g_d3d, nullptr, 800, 600);
    if (!g_dev) return false;
    g_devWindow = SDL_GL_GetCurrentWindow();
    g_devContext = SDL_GL_GetCurrentContext();
    const D3DCOLOR texel[2] = {0xffffffff, 0xff808080};
    for (int i = 0; i < 2; ++i) {
        g_dev->CreateTexture(1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &g_tex[i]);
        D3DLOCKED_RECT lr{};
        g_tex[i]->LockRect(0, &lr, nullptr, 0);
        *static_cast<D3DCOLOR*>(lr.pBits) = texel[i];
        g_tex[i]->UnlockRect(0);
    }
    g_dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    g_dev->SetRenderState(D3DRS_ZENABLE, FALSE);
    g_dev->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    g_dev->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    g_dev->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
    InitRaw();
    return true;
}

void Quad(ScreenVertex* v, float x0, float y0, float x1, float y1, D3DCOLOR c) {
    v[0] = {x0, y0, 0.5f, 1, c};
    v[1] = {x1, y0, 0.5f, 1, c};
    v[2] = {x0, y1, 0.5f, 1, c};
    v[3] = {x1, y1, 0.5f, 1, c};
}

// Small draws: a 2 x 2 pixel quad each, so the cost is the per-draw work, not the fill.
void BM_SmallDraws_D3D8(benchmark::State& state) {
    const bool changes = state.range(0) != 0;
    SDL_GL_MakeCurrent(g_devWindow, g_devContext);
    ScreenVertex v[4];
    g_dev->SetTexture(0, g_tex[0]);
    for (auto _ : state) {
        for (int i = 0; i < kDraws; ++i) {
            if (changes) {
                g_dev->SetTexture(0, g_tex[i & 1]);
                g_dev->SetRenderState(D3DRS_ALPHABLENDENABLE, i & 1);
                g_dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
                g_dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
            }
            Quad(v, static_cast<float>(i % 400), 10, static_cast<float>(i % 400 + 2), 12, 0xffffffff);
            g_dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(ScreenVertex));
        }
        glFinish();
    }
    g_dev->SetTexture(0, nullptr);
    state.SetItemsProcessed(state.iterations() * kDraws);
}

void BM_SmallDraws_RawGl(benchmark::State& state) {
    const bool changes = state.range(0) != 0;
    SDL_GL_MakeCurrent(g_raw.window, g_raw.context);
    ScreenVertex v[4];
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, g_raw.tex[0]);
    for (auto _ : state) {
        for (int i = 0; i < kDraws; ++i) {
            if (changes) {
                glBindTexture(GL_TEXTURE_2D, g_raw.tex[i & 1]);
                (i & 1) ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
            }
            Quad(v, static_cast<float>(i % 400), 10, static_cast<float>(i % 400 + 2), 12, 0xffffffff);
            glBufferData(GL_ARRAY_BUFFER, sizeof v, v, GL_STREAM_DRAW);
            glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        }
        glFinish();
    }
    glDisable(GL_BLEND);
    SDL_GL_MakeCurrent(g_devWindow, g_devContext);
    state.SetItemsProcessed(state.iterations() * kDraws);
}

// Fill: full-screen textured quads blended with SRCALPHA / INVSRCALPHA.
void BM_BlendedFill_D3D8(benchmark::State& state) {
    SDL_GL_MakeCurrent(g_devWindow, g_devContext);
    ScreenVertex v[4];
    Quad(v, 0, 0, 800, 600, 0x80ffffff);
    g_dev->SetTexture(0, g_tex[1]);
    g_dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    g_dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    for (auto _ : state) {
        for (int i = 0; i < kFills; ++i) g_dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(ScreenVertex));
        glFinish();
    }
    g_dev->SetTexture(0, nullptr);
    g_dev->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    state.SetItemsProcessed(state.iterations() * kFills);
}

void BM_BlendedFill_RawGl(benchmark::State& state) {
    SDL_GL_MakeCurrent(g_raw.window, g_raw.context);
    ScreenVertex v[4];
    Quad(v, 0, 0, 800, 600, 0x80ffffff);
    glBindTexture(GL_TEXTURE_2D, g_raw.tex[1]);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (auto _ : state) {
        for (int i = 0; i < kFills; ++i) {
            glBufferData(GL_ARRAY_BUFFER, sizeof v, v, GL_STREAM_DRAW);
            glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        }
        glFinish();
    }
    glDisable(GL_BLEND);
    SDL_GL_MakeCurrent(g_devWindow, g_devContext);
    state.SetItemsProcessed(state.iterations() * kFills);
}

BENCHMARK(BM_SmallDraws_D3D8)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SmallDraws_RawGl)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlendedFill_D3D8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlendedFill_RawGl)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!Init()) {
        std::fprintf(stderr, "bench_d3d8: no Direct3D 8 device (GL 3.3 core unavailable)\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
