// d3d8_device_state.cpp - the state the program sets: transforms, viewport, material, lights,
// render and stage states, textures, streams and state blocks. Each change is written to the block
// being recorded or to the device, where it marks the GL state groups it makes stale.
#include <cstring>

#include "platform/d3d8/d3d8_device.h"
#include "platform/d3d8/d3d8_stateblock.h"
#include "platform/d3d8/d3d8_texture.h"

namespace velunar::d3d8 {
namespace {

// Stores a value the program sets; true when it differs from the one held. Byte equality: these
// are plain records of floats and words, and a -0 taken for a change only costs a rebind.
template <typename T>
bool Store(T& slot, const T& value) {
    if (std::memcmp(&slot, &value, sizeof(T)) == 0) return false;
    slot = value;
    return true;
}

}  // namespace

// ---- recorded state ---------------------------------------------------------------------------

DeviceState& Device::Target() { return m_recording ? m_recording->values : m_state; }
StateMask* Device::RecordMask() { return m_recording ? &m_recording->mask : nullptr; }

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) {
    int slot = TransformSlotOf(State);
    if (!pMatrix || slot < 0) return D3DERR_INVALIDCALL;
    const bool changed = Store(Target().transforms[slot], *pMatrix);
    if (StateMask* m = RecordMask()) m->transforms.set(slot);
    else if (changed) MarkDirty(kDirtyUniforms);
    return D3D_OK;
}

HRESULT Device::GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix) {
    int slot = TransformSlotOf(State);
    if (!pMatrix || slot < 0) return D3DERR_INVALIDCALL;
    *pMatrix = m_state.transforms[slot];
    return D3D_OK;
}

HRESULT Device::MultiplyTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) {
    int slot = TransformSlotOf(State);
    if (!pMatrix || slot < 0) return D3DERR_INVALIDCALL;
    const D3DMATRIX a = m_state.transforms[slot];
    D3DMATRIX r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k) r.m[i][j] += pMatrix->m[i][k] * a.m[k][j];
    return SetTransform(State, &r);
}

HRESULT Device::SetViewport(const D3DVIEWPORT8* pViewport) {
    if (!pViewport) return D3DERR_INVALIDCALL;
    const D3DSURFACE_DESC& d = static_cast<Surface*>(m_renderTarget.Get())->Desc();
    if (pViewport->Width == 0 || pViewport->Height == 0 || pViewport->X + pViewport->Width > d.Width / TargetScale() ||
        pViewport->Y + pViewport->Height > d.Height / TargetScale())
        return D3DERR_INVALIDCALL;
    const bool changed = Store(Target().viewport, *pViewport);
    if (StateMask* m = RecordMask()) m->viewport = true;
    else if (changed) MarkDirty(kDirtyViewport | kDirtyUniforms);
    return D3D_OK;
}

HRESULT Device::GetViewport(D3DVIEWPORT8* pViewport) {
    if (!pViewport) return D3DERR_INVALIDCALL;
    *pViewport = m_state.viewport;
    return D3D_OK;
}

HRESULT Device::SetMaterial(const D3DMATERIAL8* pMaterial) {
    if (!pMaterial) return D3DERR_INVALIDCALL;
    const bool changed = Store(Target().material, *pMaterial);
    if (StateMask* m = RecordMask()) m->material = true;
    else if (changed) MarkDirty(kDirtyUniforms);
    return D3D_OK;
}

HRESULT Device::GetMaterial(D3DMATERIAL8* pMaterial) {
    if (!pMaterial) return D3DERR_INVALIDCALL;
    *pMaterial = m_state.material;
    return D3D_OK;
}

HRESULT Device::SetLight(DWORD Index, const D3DLIGHT8* pLight) {
    if (!pLight || pLight->Type < D3DLIGHT_POINT || pLight->Type > D3DLIGHT_DIRECTIONAL) return D3DERR_INVALIDCALL;
    const bool changed = Store(Target().lights[Index].light, *pLight);
    if (StateMask* m = RecordMask()) m->lights[Index] = true;
    else if (changed) MarkDirty(kDirtyUniforms);
    return D3D_OK;
}

HRESULT Device::GetLight(DWORD Index, D3DLIGHT8* pLight) {
    auto it = m_state.lights.find(Index);
    if (!pLight || it == m_state.lights.end()) return D3DERR_INVALIDCALL;
    *pLight = it->second.light;
    return D3D_OK;
}

HRESULT Device::LightEnable(DWORD Index, BOOL Enable) {
    DeviceState& st = Target();
    auto it = st.lights.find(Index);
    if (it == st.lights.end()) {
        // Enabling a light never set gives Direct3D's default: white, directional, along +z.
        LightSlot slot;
        slot.light.Type = D3DLIGHT_DIRECTIONAL;
        slot.light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
        slot.light.Direction = {0.0f, 0.0f, 1.0f};
        it = st.lights.emplace(Index, slot).first;
    }
    it->second.enabled = Enable != FALSE;
    if (StateMask* m = RecordMask()) {
        m->lightEnables[Index] = true;
    } else {
        MarkDirty(kDirtyProgramKey | kDirtyUniforms);
    }
    return D3D_OK;
}

HRESULT Device::GetLightEnable(DWORD Index, BOOL* pEnable) {
    auto it = m_state.lights.find(Index);
    if (!pEnable || it == m_state.lights.end()) return D3DERR_INVALIDCALL;
    *pEnable = it->second.enabled ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) {
    if (State >= D3D8_RENDERSTATE_COUNT) return D3DERR_INVALIDCALL;
    DWORD& slot = Target().renderStates[State];
    if (StateMask* m = RecordMask()) {
        slot = Value;
        m->renderStates.set(State);
        return D3D_OK;
    }
    if (slot == Value) return D3D_OK;
    slot = Value;
    MarkDirty(DirtyGroupsOf(State));
    return D3D_OK;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) {
    if (!pValue || State >= D3D8_RENDERSTATE_COUNT) return D3DERR_INVALIDCALL;
    *pValue = m_state.renderStates[State];
    return D3D_OK;
}

HRESULT Device::SetTexture(DWORD Stage, IDirect3DBaseTexture8* pTexture) {
    if (Stage >= D3D8_MAX_TEXTURE_STAGES) return D3DERR_INVALIDCALL;
    // The slot's reference keeps its texture alive, so the same pointer is the same texture.
    ComPtr<IDirect3DBaseTexture8>& slot = Target().textures[Stage];
    const bool changed = slot.Get() != pTexture;
    if (changed) slot.Reset(pTexture, true);
    if (StateMask* m = RecordMask()) m->textures.set(Stage);
    else if (changed) MarkDirty(kDirtyProgramKey | kDirtyTextures);
    return D3D_OK;
}

HRESULT Device::GetTexture(DWORD Stage, IDirect3DBaseTexture8** ppTexture) {
    if (!ppTexture || Stage >= D3D8_MAX_TEXTURE_STAGES) return D3DERR_INVALIDCALL;
    *ppTexture = m_state.textures[Stage].Get();
    if (*ppTexture) (*ppTexture)->AddRef();
    return D3D_OK;
}

HRESULT Device::SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) {
    if (Stage >= D3D8_MAX_TEXTURE_STAGES || Type >= D3D8_TSS_COUNT) return D3DERR_INVALIDCALL;
    DWORD& slot = Target().stageStates[Stage][Type];
    if (StateMask* m = RecordMask()) {
        slot = Value;
        m->stageStates[Stage].set(Type);
        return D3D_OK;
    }
    if (slot == Value) return D3D_OK;
    slot = Value;
    // Stage states select the program and the samplers.
    MarkDirty(kDirtyProgramKey | kDirtyTextures);
    return D3D_OK;
}

HRESULT Device::GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD* pValue) {
    if (!pValue || Stage >= D3D8_MAX_TEXTURE_STAGES || Type >= D3D8_TSS_COUNT) return D3DERR_INVALIDCALL;
    *pValue = m_state.stageStates[Stage][Type];
    return D3D_OK;
}

// ---- state blocks -----------------------------------------------------------------------------

HRESULT Device::BeginStateBlock() {
    if (m_recording) return D3DERR_INVALIDCALL;
    m_recording = std::make_unique<StateBlock>();
    return D3D_OK;
}

HRESULT Device::EndStateBlock(DWORD* pToken) {
    if (!pToken || !m_recording) return D3DERR_INVALIDCALL;
    *pToken = m_nextBlock++;
    m_blocks[*pToken] = std::move(m_recording);
    return D3D_OK;
}

HRESULT Device::ApplyStateBlock(DWORD Token) {
    auto it = m_blocks.find(Token);
    if (it == m_blocks.end() || m_recording) return D3DERR_INVALIDCALL;
    it->second->Apply(*this);
    return D3D_OK;
}

HRESULT Device::CaptureStateBlock(DWORD Token) {
    auto it = m_blocks.find(Token);
    if (it == m_blocks.end() || m_recording) return D3DERR_INVALIDCALL;
    it->second->Capture(m_state);
    return D3D_OK;
}

HRESULT Device::DeleteStateBlock(DWORD Token) {
    if (m_recording) return D3DERR_INVALIDCALL;
    return m_blocks.erase(Token) ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT Device::CreateStateBlock(D3DSTATEBLOCKTYPE Type, DWORD* pToken) {
    if (!pToken || Type < D3DSBT_ALL || Type > D3DSBT_VERTEXSTATE || m_recording) return D3DERR_INVALIDCALL;
    *pToken = m_nextBlock++;
    m_blocks[*pToken].reset(StateBlock::CreateOfType(Type, m_state));
    return D3D_OK;
}

// ---- streams ----------------------------------------------------------------------------------

HRESULT Device::SetVertexShader(DWORD Handle) {
    Target().vertexShader = Handle;
    if (StateMask* m = RecordMask()) m->vertexShader = true;
    else MarkDirty(kDirtyProgramKey);
    return D3D_OK;
}

HRESULT Device::GetVertexShader(DWORD* pHandle) {
    if (!pHandle) return D3DERR_INVALIDCALL;
    *pHandle = m_state.vertexShader;
    return D3D_OK;
}

HRESULT Device::SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer8* pStreamData, UINT Stride) {
    if (StreamNumber != 0) return D3DERR_INVALIDCALL;
    DeviceState& st = Target();
    st.stream.Reset(pStreamData, true);
    st.streamStride = Stride;
    if (StateMask* m = RecordMask()) m->stream = true;
    return D3D_OK;
}

HRESULT Device::GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer8** ppStreamData, UINT* pStride) {
    if (StreamNumber != 0 || !ppStreamData || !pStride) return D3DERR_INVALIDCALL;
    *ppStreamData = m_state.stream.Get();
    if (*ppStreamData) (*ppStreamData)->AddRef();
    *pStride = m_state.streamStride;
    return D3D_OK;
}

HRESULT Device::SetIndices(IDirect3DIndexBuffer8* pIndexData, UINT BaseVertexIndex) {
    DeviceState& st = Target();
    st.indices.Reset(pIndexData, true);
    st.baseVertexIndex = BaseVertexIndex;
    if (StateMask* m = RecordMask()) m->indices = true;
    return D3D_OK;
}

HRESULT Device::GetIndices(IDirect3DIndexBuffer8** ppIndexData, UINT* pBaseVertexIndex) {
    if (!ppIndexData || !pBaseVertexIndex) return D3DERR_INVALIDCALL;
    *ppIndexData = m_state.indices.Get();
    if (*ppIndexData) (*ppIndexData)->AddRef();
    *pBaseVertexIndex = m_state.baseVertexIndex;
    return D3D_OK;
}

}  // namespace velunar::d3d8
