// d3d8_fixed_function.h - the GL programs that stand in for Direct3D 8's fixed-function pipeline.
// A program is generated for each distinct key (the state that changes the shader's code) and
// kept in a cache; everything numeric reaches it as uniforms.
// Depends on: d3d8.h, d3d8_gl.h, d3d8_gl_cache.h.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/d3d8_gl.h"
#include "platform/d3d8/d3d8_gl_cache.h"

namespace velunar::d3d8 {

constexpr int kMaxStages = 4;  // stages a program can combine
constexpr int kMaxLights = 8;

// Vertex attribute locations, fixed for every program.
enum AttribLocation : GLuint {
    kAttribPosition = 0,
    kAttribNormal = 1,
    kAttribPointSize = 2,
    kAttribDiffuse = 3,
    kAttribSpecular = 4,
    kAttribTexCoord0 = 5,  // ... + 7
};

// Floats of a vertex's position (x, y, z, then rhw or blend weights); the normal, point size,
// diffuse, specular and coordinate sets follow in that order.
UINT PositionFloats(DWORD fvf);
// Floats of coordinate set `set` (1 to 4, as the vertex format's size bits say).
UINT TexCoordFloats(DWORD fvf, int set);

struct StageKey {
    uint8_t colorOp = 0;  // D3DTOP_*, 0 after the last stage in use
    uint8_t colorArg[3] = {};  // arg0, arg1, arg2 (D3DTA_* with modifiers)
    uint8_t alphaOp = 0;
    uint8_t alphaArg[3] = {};
    uint8_t resultTemp = 0;   // result goes to TEMP instead of CURRENT
    uint8_t hasTexture = 0;
    uint8_t texGen = 0;       // D3DTSS_TCI_* >> 16
    uint8_t coordSet = 0;     // source coordinate set (passthrough)
    uint8_t transformCount = 0;  // D3DTTFF_COUNTn, 0 when disabled
    uint8_t projected = 0;
    uint8_t wrap = 0;          // D3DWRAP_U | D3DWRAP_V applied across each triangle
};

// All the state that changes the generated GLSL. Zeroed fields are "not used", so keys of draws that
// differ only in unused state compare equal.
struct ProgramKey {
    uint16_t fvf = 0;
    uint8_t lighting = 0;
    uint8_t lightCount = 0;
    uint8_t diffuseSource = 0;   // 0 material, 1 vertex diffuse, 2 vertex specular
    uint8_t ambientSource = 0;
    uint8_t emissiveSource = 0;
    uint8_t specularAdd = 0;
    uint8_t alphaFunc = 0;       // D3DCMP_* when the alpha test is on, else 0
    uint8_t points = 0;          // the primitive is a point list
    uint8_t pointSprite = 0;
    uint8_t pointScale = 0;
    uint8_t flatShade = 0;
    uint8_t triangles = 0;
    uint8_t pad[2] = {};
    StageKey stages[kMaxStages];

    bool operator==(const ProgramKey& o) const;
};

struct ProgramKeyHash {
    size_t operator()(const ProgramKey& k) const;
};

// Uniform locations of one program.
struct ProgramUniforms {
    GLint wvp = -1, wv = -1, normalMatrix = -1, pixelOffset = -1, viewport = -1;
    GLint texMatrix[kMaxStages] = {-1, -1, -1, -1};
    GLint textureFactor = -1, materialDiffuse = -1, materialAmbient = -1, materialEmissive = -1, ambient = -1;
    GLint lightDir = -1, lightDiffuse = -1, lightAmbient = -1;
    GLint alphaRef = -1, pointParams = -1, pointScale = -1;
};

struct Program {
    GLuint name = 0;
    ProgramUniforms u;
    uint64_t uniformStamp = 0;  // the device's uniform generation last uploaded
    ~Program();
};

// The GLSL source of the three stages for a key (the geometry stage empty when not needed).
struct ProgramSource {
    std::string vertex, geometry, fragment;
};
ProgramSource GenerateProgramSource(const ProgramKey& key);

class ProgramCache {
public:
    // The program for the key, built on first use (binding it, to set its samplers' units); null
    // when GL rejects it (logged once).
    Program* Get(const ProgramKey& key, GlStateCache& gl);
    size_t Size() const { return m_programs.size(); }

private:
    std::unordered_map<ProgramKey, std::unique_ptr<Program>, ProgramKeyHash> m_programs;
};

}  // namespace velunar::d3d8
