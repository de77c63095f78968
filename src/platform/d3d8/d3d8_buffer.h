// d3d8_buffer.h - vertex and index buffers: a GL buffer plus the bytes the program wrote, so that
// every lock (write-only, default pool or not) hands back memory that holds the buffer's content.
// Depends on: d3d8.h, d3d8_gl.h, d3d8_object.h.
#pragma once

#include <vector>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/d3d8_gl.h"
#include "platform/d3d8/d3d8_object.h"

namespace velunar::d3d8 {

class Device;

// The storage both buffer kinds share.
class BufferStore {
public:
    BufferStore(GLenum target, UINT length);
    ~BufferStore();
    HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags);
    HRESULT Unlock();
    GLuint Name() const { return m_name; }
    UINT Length() const { return static_cast<UINT>(m_bytes.size()); }
    const BYTE* Bytes() const { return m_bytes.data(); }

private:
    GLenum m_target;
    GLuint m_name = 0;
    std::vector<BYTE> m_bytes;
    int m_locks = 0;
    bool m_readOnly = true;
    UINT m_dirtyBegin = 0, m_dirtyEnd = 0;
};

class VertexBuffer final : public RefCounted<DeviceChild<IDirect3DVertexBuffer8>> {
public:
    VertexBuffer(Device* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
    ~VertexBuffer() override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) override { return m_store.Lock(offset, size, data, flags); }
    HRESULT Unlock() override { return m_store.Unlock(); }
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* pDesc) override;
    BufferStore& Store() { return m_store; }

private:
    BufferStore m_store;
    D3DVERTEXBUFFER_DESC m_desc{};
};

class IndexBuffer final : public RefCounted<DeviceChild<IDirect3DIndexBuffer8>> {
public:
    IndexBuffer(Device* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    ~IndexBuffer() override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) override { return m_store.Lock(offset, size, data, flags); }
    HRESULT Unlock() override { return m_store.Unlock(); }
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* pDesc) override;
    BufferStore& Store() { return m_store; }
    D3DFORMAT Format() const { return m_desc.Format; }

private:
    BufferStore m_store;
    D3DINDEXBUFFER_DESC m_desc{};
};

}  // namespace velunar::d3d8
