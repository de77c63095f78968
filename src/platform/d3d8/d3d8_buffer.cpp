// d3d8_buffer.cpp - buffer locks. A lock returns the kept bytes; unlock sends the range written
// since the last upload to GL in one call.
#include "platform/d3d8/d3d8_buffer.h"

#include <algorithm>

#include "platform/d3d8/d3d8_device.h"

namespace velunar::d3d8 {

BufferStore::BufferStore(GLenum target, UINT length) : m_target(target), m_bytes(length) {
    glGenBuffers(1, &m_name);
    glBindBuffer(GL_COPY_WRITE_BUFFER, m_name);
    glBufferData(GL_COPY_WRITE_BUFFER, length, nullptr, GL_DYNAMIC_DRAW);
    D3D8_GL_CHECK("glBufferData");
}

BufferStore::~BufferStore() { glDeleteBuffers(1, &m_name); }

HRESULT BufferStore::Lock(UINT offset, UINT size, BYTE** data, DWORD flags) {
    if (!data) return D3DERR_INVALIDCALL;
    *data = nullptr;
    if (size == 0 && offset == 0) size = Length();
    if (offset > Length() || size > Length() - offset) return D3DERR_INVALIDCALL;
    if (m_locks == 0) m_readOnly = true;
    ++m_locks;
    if (!(flags & D3DLOCK_READONLY)) {
        if (m_readOnly || m_dirtyBegin == m_dirtyEnd) {
            m_dirtyBegin = offset;
            m_dirtyEnd = offset + size;
        } else {
            m_dirtyBegin = std::min(m_dirtyBegin, offset);
            m_dirtyEnd = std::max(m_dirtyEnd, offset + size);
        }
        m_readOnly = false;
    }
    *data = m_bytes.data() + offset;
    return D3D_OK;
}

HRESULT BufferStore::Unlock() {
    if (m_locks == 0) return D3DERR_INVALIDCALL;
    if (--m_locks > 0) return D3D_OK;
    if (!m_readOnly && m_dirtyEnd > m_dirtyBegin) {
        // The copy target leaves the element-array binding of the vertex array alone.
        glBindBuffer(GL_COPY_WRITE_BUFFER, m_name);
        glBufferSubData(GL_COPY_WRITE_BUFFER, m_dirtyBegin, m_dirtyEnd - m_dirtyBegin, m_bytes.data() + m_dirtyBegin);
        D3D8_GL_CHECK("glBufferSubData");
    }
    m_dirtyBegin = m_dirtyEnd = 0;
    (void)m_target;
    return D3D_OK;
}

VertexBuffer::VertexBuffer(Device* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : RefCounted(device), m_store(GL_ARRAY_BUFFER, length) {
    m_desc.Format = D3DFMT_VERTEXDATA;
    m_desc.Type = D3DRTYPE_VERTEXBUFFER;
    m_desc.Usage = usage;
    m_desc.Pool = pool;
    m_desc.Size = length;
    m_desc.FVF = fvf;
}

VertexBuffer::~VertexBuffer() { m_device->ForgetBuffer(m_store.Name()); }
IndexBuffer::~IndexBuffer() { m_device->ForgetBuffer(m_store.Name()); }

HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* pDesc) {
    if (!pDesc) return D3DERR_INVALIDCALL;
    *pDesc = m_desc;
    return D3D_OK;
}

IndexBuffer::IndexBuffer(Device* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : RefCounted(device), m_store(GL_ELEMENT_ARRAY_BUFFER, length) {
    m_desc.Format = format;
    m_desc.Type = D3DRTYPE_INDEXBUFFER;
    m_desc.Usage = usage;
    m_desc.Pool = pool;
    m_desc.Size = length;
}

HRESULT IndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* pDesc) {
    if (!pDesc) return D3DERR_INVALIDCALL;
    *pDesc = m_desc;
    return D3D_OK;
}

}  // namespace velunar::d3d8
