// d3d8_fixed_function.cpp - GLSL for the fixed-function pipeline: transform, lighting, texture
// coordinate generation, the texture-stage combiner, the alpha test, point sprites and WRAP0.
//
// Conventions the generated code keeps:
// - Direct3D matrices (row vectors) are uploaded as they are; GLSL then reads them transposed, so
//   `M * v` in GLSL is Direct3D's `v * M`.
// - Render targets are stored top row first, so GL's window y is Direct3D's screen y: clip-space y
//   is negated, and the half-pixel shift (63/128, which keeps the top-left fill rule) is added in
//   window units.
#include "platform/d3d8/d3d8_fixed_function.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/d3d8/d3d8_warn.h"

namespace velunar::d3d8 {
namespace {

int TexCoordCount(uint16_t fvf) { return (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT; }

// The program's interface, spelled once: the vertex attributes at their fixed locations and the
// uniforms, each declared in the GLSL and looked up after linking from these lists.
struct AttributeName {
    GLuint location;
    const char* type;
    const char* name;
};
constexpr AttributeName kPositionAttribute{kAttribPosition, "vec4", "a_pos"};
constexpr AttributeName kNormalAttribute{kAttribNormal, "vec3", "a_normal"};
constexpr AttributeName kPointSizeAttribute{kAttribPointSize, "float", "a_psize"};
constexpr AttributeName kDiffuseAttribute{kAttribDiffuse, "vec4", "a_diffuse"};
constexpr AttributeName kSpecularAttribute{kAttribSpecular, "vec4", "a_specular"};
constexpr const char* kTexCoordAttribute = "a_tc";  // a_tc0 ... a_tc7 at kAttribTexCoord0 + set

std::string Declare(const AttributeName& a) {
    return "layout(location = " + std::to_string(a.location) + ") in " + a.type + " " + a.name + ";\n";
}

struct UniformName {
    const char* type;
    const char* name;
    int count;  // array length; 0 for a single value
    // Where its location goes. perElement: one location per element, looked up as name[i].
    GLint* (*slot)(ProgramUniforms&);
    bool perElement;
};
constexpr UniformName kVertexUniforms[] = {
    {"mat4", "u_wvp", 0, [](ProgramUniforms& u) { return &u.wvp; }, false},
    {"mat4", "u_wv", 0, [](ProgramUniforms& u) { return &u.wv; }, false},
    {"mat3", "u_normalMatrix", 0, [](ProgramUniforms& u) { return &u.normalMatrix; }, false},
    {"vec2", "u_pixelOffset", 0, [](ProgramUniforms& u) { return &u.pixelOffset; }, false},
    {"vec4", "u_viewport", 0, [](ProgramUniforms& u) { return &u.viewport; }, false},
    {"mat4", "u_texMatrix", kMaxStages, [](ProgramUniforms& u) { return u.texMatrix; }, true},
    {"vec4", "u_matDiffuse", 0, [](ProgramUniforms& u) { return &u.materialDiffuse; }, false},
    {"vec4", "u_matAmbient", 0, [](ProgramUniforms& u) { return &u.materialAmbient; }, false},
    {"vec4", "u_matEmissive", 0, [](ProgramUniforms& u) { return &u.materialEmissive; }, false},
    {"vec4", "u_ambient", 0, [](ProgramUniforms& u) { return &u.ambient; }, false},
    {"vec3", "u_lightDir", kMaxLights, [](ProgramUniforms& u) { return &u.lightDir; }, false},
    {"vec4", "u_lightDiffuse", kMaxLights, [](ProgramUniforms& u) { return &u.lightDiffuse; }, false},
    {"vec4", "u_lightAmbient", kMaxLights, [](ProgramUniforms& u) { return &u.lightAmbient; }, false},
    {"vec4", "u_pointParams", 0, [](ProgramUniforms& u) { return &u.pointParams; }, false},
    {"vec3", "u_pointScale", 0, [](ProgramUniforms& u) { return &u.pointScale; }, false},
};
constexpr UniformName kFragmentUniforms[] = {
    {"vec4", "u_tfactor", 0, [](ProgramUniforms& u) { return &u.textureFactor; }, false},
    {"float", "u_alphaRef", 0, [](ProgramUniforms& u) { return &u.alphaRef; }, false},
};
constexpr const char* kSamplerUniform = "u_tex";  // u_tex0 ... u_tex3, bound to units 0 ... 3

template <int N>
void DeclareUniforms(const UniformName (&list)[N], std::string& out) {
    for (const UniformName& u : list) {
        out += std::string("uniform ") + u.type + " " + u.name;
        if (u.count) out += "[" + std::to_string(u.count) + "]";
        out += ";\n";
    }
}

template <int N>
void LookUpUniforms(GLuint program, const UniformName (&list)[N], ProgramUniforms& out) {
    for (const UniformName& u : list) {
        GLint* slot = u.slot(out);
        if (!u.perElement) {
            *slot = glGetUniformLocation(program, u.name);
            continue;
        }
        for (int i = 0; i < u.count; ++i)
            slot[i] = glGetUniformLocation(program, (std::string(u.name) + "[" + std::to_string(i) + "]").c_str());
    }
}

std::string Arg(uint8_t arg, const StageKey& st) {
    std::string base;
    switch (arg & D3DTA_SELECTMASK) {
        case D3DTA_DIFFUSE: base = "diffuse"; break;
        case D3DTA_CURRENT: base = "cur"; break;
        case D3DTA_TEXTURE: base = st.hasTexture ? "tex" : "vec4(0.0, 0.0, 0.0, 1.0)"; break;
        case D3DTA_TFACTOR: base = "u_tfactor"; break;
        case D3DTA_SPECULAR: base = "specular"; break;
        case D3DTA_TEMP: base = "temp"; break;
        default: base = "vec4(0.0)"; break;
    }
    if (arg & D3DTA_COMPLEMENT) base = "(vec4(1.0) - " + base + ")";
    if (arg & D3DTA_ALPHAREPLICATE) base = "vec4((" + base + ").a)";
    return base;
}

// The op applied to argument vectors named p0, p1, p2 (arg0, arg1, arg2), as a vec4 expression.
std::string Op(uint8_t op) {
    switch (op) {
        case D3DTOP_SELECTARG1: return "p1";
        case D3DTOP_SELECTARG2: return "p2";
        case D3DTOP_MODULATE: return "p1 * p2";
        case D3DTOP_MODULATE2X: return "2.0 * p1 * p2";
        case D3DTOP_MODULATE4X: return "4.0 * p1 * p2";
        case D3DTOP_ADD: return "p1 + p2";
        case D3DTOP_ADDSIGNED: return "p1 + p2 - 0.5";
        case D3DTOP_ADDSIGNED2X: return "2.0 * (p1 + p2 - 0.5)";
        case D3DTOP_SUBTRACT: return "p1 - p2";
        case D3DTOP_ADDSMOOTH: return "p1 + p2 - p1 * p2";
        case D3DTOP_BLENDDIFFUSEALPHA: return "mix(p2, p1, diffuse.a)";
        case D3DTOP_BLENDTEXTUREALPHA: return "mix(p2, p1, tex.a)";
        case D3DTOP_BLENDFACTORALPHA: return "mix(p2, p1, u_tfactor.a)";
        case D3DTOP_BLENDTEXTUREALPHAPM: return "p1 + p2 * (1.0 - tex.a)";
        case D3DTOP_BLENDCURRENTALPHA: return "mix(p2, p1, cur.a)";
        case D3DTOP_MODULATEALPHA_ADDCOLOR: return "p1 + p1.a * p2";
        case D3DTOP_MODULATECOLOR_ADDALPHA: return "p1 * p2 + p1.a";
        case D3DTOP_MODULATEINVALPHA_ADDCOLOR: return "(1.0 - p1.a) * p2 + p1";
        case D3DTOP_MODULATEINVCOLOR_ADDALPHA: return "(vec4(1.0) - p1) * p2 + p1.a";
        case D3DTOP_DOTPRODUCT3: return "vec4(4.0 * dot(p1.rgb - 0.5, p2.rgb - 0.5))";
        case D3DTOP_MULTIPLYADD: return "p0 + p1 * p2";
        case D3DTOP_LERP: return "mix(p2, p1, p0)";
        default:
            WarnOnce(Unimplemented::TextureOp);
            return "p1";
    }
}

const char* CompareExpr(uint8_t func) {
    switch (func) {
        case D3DCMP_NEVER: return "false";
        case D3DCMP_LESS: return "a8 < u_alphaRef";
        case D3DCMP_EQUAL: return "a8 == u_alphaRef";
        case D3DCMP_LESSEQUAL: return "a8 <= u_alphaRef";
        case D3DCMP_GREATER: return "a8 > u_alphaRef";
        case D3DCMP_NOTEQUAL: return "a8 != u_alphaRef";
        case D3DCMP_GREATEREQUAL: return "a8 >= u_alphaRef";
        default: return "true";
    }
}

bool NeedsGeometry(const ProgramKey& k) {
    if (!k.triangles) return false;
    for (const StageKey& s : k.stages)
        if (s.colorOp && s.wrap) return true;
    return false;
}

// The specular colour travels to the fragments only when something there reads it.
bool NeedsSpecular(const ProgramKey& k) {
    if (k.specularAdd) return true;
    for (const StageKey& s : k.stages) {
        if (!s.colorOp) break;
        for (int i = 0; i < 3; ++i)
            if ((s.colorArg[i] & D3DTA_SELECTMASK) == D3DTA_SPECULAR || (s.alphaArg[i] & D3DTA_SELECTMASK) == D3DTA_SPECULAR)
                return true;
    }
    return false;
}

// Varyings between the stages (fewer varyings, cheaper fill on a software rasteriser).
void Varyings(const ProgramKey& k, const char* dir, const char* prefix, const char* suffix, std::string& out) {
    const char* fl = k.flatShade ? "flat " : "";
    out += std::string(fl) + dir + " vec4 " + prefix + "diffuse" + suffix + ";\n";
    if (NeedsSpecular(k)) out += std::string(fl) + dir + " vec4 " + prefix + "specular" + suffix + ";\n";
    for (int s = 0; s < kMaxStages; ++s)
        if (k.stages[s].colorOp && k.stages[s].hasTexture && !(k.pointSprite && k.points))
            out += std::string(dir) + " vec2 " + prefix + "tc" + std::to_string(s) + suffix + ";\n";
}

bool PassesCoords(const ProgramKey& k, int stage) {
    return k.stages[stage].colorOp && k.stages[stage].hasTexture && !(k.pointSprite && k.points);
}

std::string VertexShader(const ProgramKey& k, const char* prefix) {
    const bool rhw = (k.fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW;
    const bool hasNormal = (k.fvf & D3DFVF_NORMAL) != 0;
    const bool hasDiffuse = (k.fvf & D3DFVF_DIFFUSE) != 0;
    const bool hasSpecular = (k.fvf & D3DFVF_SPECULAR) != 0;
    const int sets = TexCoordCount(k.fvf);
    std::string s = "#version 330 core\n";
    s += Declare(kPositionAttribute);
    if (hasNormal) s += Declare(kNormalAttribute);
    if (k.fvf & D3DFVF_PSIZE) s += Declare(kPointSizeAttribute);
    if (hasDiffuse) s += Declare(kDiffuseAttribute);
    if (hasSpecular) s += Declare(kSpecularAttribute);
    for (int i = 0; i < sets; ++i) {
        const std::string name = kTexCoordAttribute + std::to_string(i);
        s += Declare({kAttribTexCoord0 + static_cast<GLuint>(i), "vec4", name.c_str()});
    }
    DeclareUniforms(kVertexUniforms, s);
    Varyings(k, "out", prefix, "", s);
    s += "void main() {\n";
    s += hasDiffuse ? "    vec4 vdiff = a_diffuse;\n" : "    vec4 vdiff = vec4(1.0);\n";
    s += hasSpecular ? "    vec4 vspec = a_specular;\n" : "    vec4 vspec = vec4(0.0);\n";
    if (rhw) {
        // x, y in render-target pixels, z the depth, rhw 1/w for perspective-correct interpolation.
        s +=
            "    float w = (a_pos.w > 0.0 && !isinf(a_pos.w)) ? 1.0 / a_pos.w : 1.0;\n"
            "    vec2 ndc = (a_pos.xy + vec2(63.0 / 128.0) - u_viewport.xy) / u_viewport.zw * 2.0 - 1.0;\n"
            "    gl_Position = vec4(ndc * w, (2.0 * a_pos.z - 1.0) * w, w);\n"
            "    vec3 ne = vec3(0.0);\n    vec4 pe = vec4(0.0, 0.0, 0.0, 1.0);\n";
    } else {
        s +=
            "    vec4 p = vec4(a_pos.xyz, 1.0);\n"
            "    vec4 c = u_wvp * p;\n"
            "    gl_Position = vec4(c.x + u_pixelOffset.x * c.w, -c.y + u_pixelOffset.y * c.w, 2.0 * c.z - c.w, c.w);\n"
            "    vec4 pe = u_wv * p;\n";
        // Not normalised: Direct3D leaves scaled normals scaled unless NORMALIZENORMALS is set.
        s += hasNormal ? "    vec3 ne = u_normalMatrix * a_normal;\n" : "    vec3 ne = vec3(0.0);\n";
    }
    if (k.lighting) {
        auto src = [](uint8_t which, const char* material) -> std::string {
            return which == 1 ? "vdiff" : which == 2 ? "vspec" : material;
        };
        s += "    vec4 md = " + src(k.diffuseSource, "u_matDiffuse") + ";\n";
        s += "    vec4 ma = " + src(k.ambientSource, "u_matAmbient") + ";\n";
        s += "    vec4 me = " + src(k.emissiveSource, "u_matEmissive") + ";\n";
        s += "    vec3 col = me.rgb + ma.rgb * u_ambient.rgb;\n";
        for (int i = 0; i < k.lightCount; ++i) {
            std::string n = std::to_string(i);
            s += "    col += ma.rgb * u_lightAmbient[" + n + "].rgb;\n";
            if (hasNormal)
                s += "    col += md.rgb * u_lightDiffuse[" + n + "].rgb * clamp(dot(ne, -u_lightDir[" + n + "]), 0.0, 1.0);\n";
        }
        s += "    vdiff = vec4(clamp(col, 0.0, 1.0), md.a);\n    vspec = vec4(0.0);\n";
    }
    s += std::string("    ") + prefix + "diffuse = vdiff;\n";
    if (NeedsSpecular(k)) s += std::string("    ") + prefix + "specular = vspec;\n";
    for (int st = 0; st < kMaxStages; ++st) {
        const StageKey& sk = k.stages[st];
        if (!PassesCoords(k, st)) continue;
        std::string t = "t" + std::to_string(st);
        s += "    vec4 " + t + ";\n";
        if (!rhw && sk.texGen == 1) {
            s += "    " + t + " = vec4(ne, 1.0);\n";
        } else if (!rhw && sk.texGen == 2) {
            s += "    " + t + " = vec4(pe.xyz, 1.0);\n";
        } else if (!rhw && sk.texGen == 3) {
            s += "    " + t + " = vec4(reflect(normalize(pe.xyz), normalize(ne)), 1.0);\n";
        } else if (sk.coordSet < sets) {
            // Two components: the key keeps only the low 16 bits of the vertex format, where every
            // coordinate set is two-dimensional.
            std::string a = kTexCoordAttribute + std::to_string(sk.coordSet);
            s += "    " + t + " = vec4(" + a + ".xy, 1.0, 0.0);\n";
        } else {
            s += "    " + t + " = vec4(0.0, 0.0, 1.0, 0.0);\n";
        }
        if (!rhw && sk.transformCount) {
            s += "    " + t + " = u_texMatrix[" + std::to_string(st) + "] * " + t + ";\n";
            if (sk.projected) {
                static const char* comp[] = {"x", "x", "y", "z", "w"};
                s += "    " + t + ".xy /= " + t + "." + comp[sk.transformCount] + ";\n";
            }
        }
        s += std::string("    ") + prefix + "tc" + std::to_string(st) + " = " + t + ".xy;\n";
    }
    if (k.points) {
        s += (k.fvf & D3DFVF_PSIZE) ? "    float ps = a_psize;\n" : "    float ps = u_pointParams.x;\n";
        if (k.pointScale && !rhw)
            s +=
                "    float de = length(pe.xyz);\n"
                "    ps = u_viewport.w * ps * sqrt(1.0 / (u_pointScale.x + u_pointScale.y * de + u_pointScale.z * de * de));\n";
        // Sizes are in the program's pixels; w is how many target pixels one of them spans.
        s += "    gl_PointSize = clamp(ps, u_pointParams.y, min(u_pointParams.z, 64.0)) * u_pointParams.w;\n";
    }
    s += "}\n";
    return s;
}

std::string GeometryShader(const ProgramKey& k) {
    std::string s = "#version 330 core\nlayout(triangles) in;\nlayout(triangle_strip, max_vertices = 3) out;\n";
    Varyings(k, "in", "g_", "[]", s);
    Varyings(k, "out", "v_", "", s);
    s += "void main() {\n";
    for (int st = 0; st < kMaxStages; ++st) {
        if (!PassesCoords(k, st)) continue;
        std::string n = std::to_string(st);
        s += "    vec2 t" + n + "[3] = vec2[3](g_tc" + n + "[0], g_tc" + n + "[1], g_tc" + n + "[2]);\n";
        // The shorter way round: each coordinate moves by whole units to within 0.5 of the first vertex's.
        if (k.stages[st].wrap & D3DWRAP_U)
            s += "    for (int i = 1; i < 3; ++i) t" + n + "[i].x -= round(t" + n + "[i].x - t" + n + "[0].x);\n";
        if (k.stages[st].wrap & D3DWRAP_V)
            s += "    for (int i = 1; i < 3; ++i) t" + n + "[i].y -= round(t" + n + "[i].y - t" + n + "[0].y);\n";
    }
    s += "    for (int i = 0; i < 3; ++i) {\n        gl_Position = gl_in[i].gl_Position;\n";
    s += "        v_diffuse = g_diffuse[i];\n";
    if (NeedsSpecular(k)) s += "        v_specular = g_specular[i];\n";
    for (int st = 0; st < kMaxStages; ++st)
        if (PassesCoords(k, st)) s += "        v_tc" + std::to_string(st) + " = t" + std::to_string(st) + "[i];\n";
    s += "        EmitVertex();\n    }\n    EndPrimitive();\n}\n";
    return s;
}

std::string FragmentShader(const ProgramKey& k) {
    std::string s = "#version 330 core\n";
    Varyings(k, "in", "v_", "", s);
    for (int st = 0; st < kMaxStages; ++st)
        if (k.stages[st].colorOp && k.stages[st].hasTexture)
            s += std::string("uniform sampler2D ") + kSamplerUniform + std::to_string(st) + ";\n";
    DeclareUniforms(kFragmentUniforms, s);
    s += "out vec4 o_color;\n";
    s += "void main() {\n    vec4 diffuse = v_diffuse;\n";
    s += NeedsSpecular(k) ? "    vec4 specular = v_specular;\n" : "    vec4 specular = vec4(0.0);\n";
    s += "    vec4 cur = diffuse;\n    vec4 temp = vec4(0.0);\n";
    for (int st = 0; st < kMaxStages; ++st) {
        const StageKey& sk = k.stages[st];
        if (!sk.colorOp) break;
        std::string n = std::to_string(st);
        s += "    {\n";
        if (sk.hasTexture) {
            std::string coord = k.pointSprite && k.points ? "gl_PointCoord" : "v_tc" + n + ".xy";
            s += std::string("        vec4 tex = texture(") + kSamplerUniform + n + ", " + coord + ");\n";
        } else {
            s += "        vec4 tex = vec4(0.0, 0.0, 0.0, 1.0);\n";
        }
        s += "        vec4 p0 = " + Arg(sk.colorArg[0], sk) + ";\n";
        s += "        vec4 p1 = " + Arg(sk.colorArg[1], sk) + ";\n";
        s += "        vec4 p2 = " + Arg(sk.colorArg[2], sk) + ";\n";
        s += "        vec3 rc = clamp((" + Op(sk.colorOp) + ").rgb, 0.0, 1.0);\n";
        if (sk.alphaOp == D3DTOP_DISABLE || sk.alphaOp == 0) {
            s += "        float ra = cur.a;\n";
        } else {
            s += "        p0 = " + Arg(sk.alphaArg[0], sk) + ";\n";
            s += "        p1 = " + Arg(sk.alphaArg[1], sk) + ";\n";
            s += "        p2 = " + Arg(sk.alphaArg[2], sk) + ";\n";
            s += "        float ra = clamp((" + Op(sk.alphaOp) + ").a, 0.0, 1.0);\n";
        }
        s += sk.resultTemp ? "        temp = vec4(rc, ra);\n" : "        cur = vec4(rc, ra);\n";
        s += "    }\n";
    }
    if (k.specularAdd) s += "    cur.rgb = clamp(cur.rgb + specular.rgb, 0.0, 1.0);\n";
    if (k.alphaFunc) {
        // Direct3D compares the 8-bit alpha with the 8-bit reference.
        s += "    float a8 = floor(cur.a * 255.0 + 0.5);\n";
        s += std::string("    if (!(") + CompareExpr(k.alphaFunc) + ")) discard;\n";
    }
    s += "    o_color = cur;\n}\n";
    return s;
}

GLuint Compile(GLenum type, const std::string& src) {
    GLuint sh = glCreateShader(type);
    const char* text = src.c_str();
    glShaderSource(sh, 1, &text, nullptr);
    glCompileShader(sh);
    GLint ok = 0;
    glGetShaderiv(sh, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[2048];
        glGetShaderInfoLog(sh, sizeof log, nullptr, log);
        std::fprintf(stderr, "d3d8: shader compile failed: %s\n%s\n", log, text);
        glDeleteShader(sh);
        return 0;
    }
    return sh;
}

}  // namespace

UINT PositionFloats(DWORD fvf) {
    switch (fvf & D3DFVF_POSITION_MASK) {
        case D3DFVF_XYZ: return 3;
        case D3DFVF_XYZRHW: return 4;
        case 0: return 0;
        default: return 3 + (((fvf & D3DFVF_POSITION_MASK) - D3DFVF_XYZ) / 2);  // blend weights follow xyz
    }
}

UINT TexCoordFloats(DWORD fvf, int set) {
    static const UINT kSizes[4] = {2, 3, 4, 1};
    return kSizes[(fvf >> (16 + 2 * set)) & 3];
}

bool ProgramKey::operator==(const ProgramKey& o) const { return std::memcmp(this, &o, sizeof *this) == 0; }

size_t ProgramKeyHash::operator()(const ProgramKey& k) const {
    // FNV-1a over the key's bytes; the key has no padding holes (all fields are bytes or uint16).
    const auto* p = reinterpret_cast<const unsigned char*>(&k);
    size_t h = 1469598103934665603ull;
    for (size_t i = 0; i < sizeof k; ++i) h = (h ^ p[i]) * 1099511628211ull;
    return h;
}

Program::~Program() {
    if (name) glDeleteProgram(name);
}

ProgramSource GenerateProgramSource(const ProgramKey& key) {
    ProgramSource src;
    bool gs = NeedsGeometry(key);
    src.vertex = VertexShader(key, gs ? "g_" : "v_");
    if (gs) src.geometry = GeometryShader(key);
    src.fragment = FragmentShader(key);
    return src;
}

Program* ProgramCache::Get(const ProgramKey& key, GlStateCache& gl) {
    auto it = m_programs.find(key);
    if (it != m_programs.end()) return it->second.get();

    ProgramSource src = GenerateProgramSource(key);
    auto prog = std::make_unique<Program>();
    GLuint vs = Compile(GL_VERTEX_SHADER, src.vertex);
    GLuint gs = src.geometry.empty() ? 0 : Compile(GL_GEOMETRY_SHADER, src.geometry);
    GLuint fs = Compile(GL_FRAGMENT_SHADER, src.fragment);
    if (vs && fs && (src.geometry.empty() || gs)) {
        prog->name = glCreateProgram();
        glAttachShader(prog->name, vs);
        if (gs) glAttachShader(prog->name, gs);
        glAttachShader(prog->name, fs);
        glLinkProgram(prog->name);
        GLint ok = 0;
        glGetProgramiv(prog->name, GL_LINK_STATUS, &ok);
        if (!ok) {
            char log[2048];
            glGetProgramInfoLog(prog->name, sizeof log, nullptr, log);
            std::fprintf(stderr, "d3d8: program link failed: %s\n", log);
            glDeleteProgram(prog->name);
            prog->name = 0;
        }
    }
    for (GLuint sh : {vs, gs, fs})
        if (sh) glDeleteShader(sh);
    if (prog->name) {
        GLuint p = prog->name;
        LookUpUniforms(p, kVertexUniforms, prog->u);
        LookUpUniforms(p, kFragmentUniforms, prog->u);
        gl.UseProgram(p);
        for (int i = 0; i < kMaxStages; ++i) {
            GLint loc = glGetUniformLocation(p, (kSamplerUniform + std::to_string(i)).c_str());
            if (loc >= 0) glUniform1i(loc, i);
        }
    } else {
        WarnOnce(Unimplemented::ProgramBuild);
    }
    Program* raw = prog.get();
    m_programs.emplace(key, std::move(prog));
    return raw->name ? raw : nullptr;
}

}  // namespace velunar::d3d8
