// d3d8_state.h - every piece of fixed-function state the device keeps, as one value type, so
// state blocks can record, capture and apply it with the same code that the device uses; and the
// groups of GL state that a change of it makes stale.
// Depends on: d3d8.h, d3d8_object.h.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <map>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/d3d8_object.h"

namespace velunar::d3d8 {

// Transforms the device keeps: view, projection, world and one per texture stage.
enum TransformSlot : int { kView = 0, kProjection, kWorld, kTexture0, kTransformSlots = kTexture0 + 8 };

// Slot of a Direct3D transform type, or -1 for one the device does not keep.
int TransformSlotOf(D3DTRANSFORMSTATETYPE type);

struct LightSlot {
    D3DLIGHT8 light{};
    bool enabled = false;
};

struct DeviceState {
    std::array<DWORD, D3D8_RENDERSTATE_COUNT> renderStates{};
    std::array<std::array<DWORD, D3D8_TSS_COUNT>, D3D8_MAX_TEXTURE_STAGES> stageStates{};
    std::array<D3DMATRIX, kTransformSlots> transforms{};
    D3DVIEWPORT8 viewport{};
    D3DMATERIAL8 material{};
    std::map<DWORD, LightSlot> lights;
    std::array<ComPtr<IDirect3DBaseTexture8>, D3D8_MAX_TEXTURE_STAGES> textures;
    DWORD vertexShader = 0;
    ComPtr<IDirect3DVertexBuffer8> stream;
    UINT streamStride = 0;
    ComPtr<IDirect3DIndexBuffer8> indices;
    UINT baseVertexIndex = 0;

    // Direct3D 8's documented initial values; zEnable follows whether there is an auto depth buffer.
    void SetDefaults(bool zEnable);
};

// The groups of GL state that a change of DeviceState (or of the render target) can make stale.
// The device binds each group with a function of its own, only while the group is marked.
enum DirtyGroup : uint32_t {
    kDirtyTargets = 1u << 0,      // framebuffer attachments, and with them depth and alpha
    kDirtyBlend = 1u << 1,        // blend enable, factors, equation
    kDirtyDepth = 1u << 2,        // depth test, clamp, function, writes
    kDirtyRasteriser = 1u << 3,   // scissor, culling, fill mode, colour writes
    kDirtyViewport = 1u << 4,     // viewport rectangle and depth range
    kDirtyProgramKey = 1u << 5,   // what selects the generated program
    kDirtyUniforms = 1u << 6,     // the values the programs read
    kDirtyTextures = 1u << 7,     // texture and sampler bindings of the stages in use
    kDirtyFixedFunction = kDirtyBlend | kDirtyDepth | kDirtyRasteriser | kDirtyViewport,
    kDirtyAll = 0xffu,
};

// The groups a render state feeds. A state the device does not sort marks every group.
uint32_t DirtyGroupsOf(D3DRENDERSTATETYPE state);

// Which parts of a DeviceState a state block holds.
struct StateMask {
    std::bitset<D3D8_RENDERSTATE_COUNT> renderStates;
    std::array<std::bitset<D3D8_TSS_COUNT>, D3D8_MAX_TEXTURE_STAGES> stageStates;
    std::bitset<kTransformSlots> transforms;
    bool viewport = false;
    bool material = false;
    std::map<DWORD, bool> lights;        // index -> the light's parameters are held
    std::map<DWORD, bool> lightEnables;  // index -> its enable flag is held
    std::bitset<D3D8_MAX_TEXTURE_STAGES> textures;
    bool vertexShader = false;
    bool stream = false;
    bool indices = false;
};

}  // namespace velunar::d3d8
