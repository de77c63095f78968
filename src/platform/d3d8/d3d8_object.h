// d3d8_object.h - reference counting shared by every Direct3D object of the device layer.
// Depends on: d3d8.h.
#pragma once

#include <utility>

#include "platform/d3d8/d3d8.h"

namespace velunar::d3d8 {

// Implements AddRef/Release for an interface; the object deletes itself at zero references.
template <typename Interface>
class RefCounted : public Interface {
public:
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override {
        ULONG left = --m_refs;
        if (left == 0) delete this;
        return left;
    }

protected:
    template <typename... Args>
    explicit RefCounted(Args&&... args) : Interface(std::forward<Args>(args)...) {}
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

private:
    ULONG m_refs = 1;
};

// Holds one reference to a Direct3D object, taking or adding one as asked.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* p, bool addRef) : m_p(p) {
        if (m_p && addRef) m_p->AddRef();
    }
    ComPtr(const ComPtr& o) : m_p(o.m_p) {
        if (m_p) m_p->AddRef();
    }
    ComPtr& operator=(const ComPtr& o) {
        Reset(o.m_p, true);
        return *this;
    }
    ~ComPtr() { Reset(nullptr, false); }
    void Reset(T* p, bool addRef) {
        if (p && addRef) p->AddRef();
        T* old = m_p;
        m_p = p;
        if (old) old->Release();
    }
    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};

// The reference a resource the program created keeps on its device, as Direct3D's resources do,
// so the device outlives every resource still held. Kept in the resources' common base, it is
// released after everything the resource owns.
class DeviceHold {
public:
    DeviceHold() = default;
    DeviceHold(const DeviceHold&) = delete;
    DeviceHold& operator=(const DeviceHold&) = delete;
    ~DeviceHold() {
        if (m_device) m_device->Release();
    }
    void Hold(IDirect3DDevice8* device) {
        if (m_device || !device) return;
        m_device = device;
        m_device->AddRef();
    }

private:
    IDirect3DDevice8* m_device = nullptr;
};

class Device;
// The device's own interface (defined with the device, where Device is complete).
IDirect3DDevice8* DeviceInterface(Device* device);

// What every resource of the device shares: the device it belongs to, handed out by GetDevice, and
// the reference it keeps on it once the program holds the resource.
template <typename Interface>
class DeviceChild : public Interface {
public:
    HRESULT GetDevice(IDirect3DDevice8** ppDevice) override {
        if (!ppDevice) return D3DERR_INVALIDCALL;
        *ppDevice = DeviceInterface(m_device);
        (*ppDevice)->AddRef();
        return D3D_OK;
    }
    Device* Owner() const { return m_device; }
    void HoldDevice() { m_hold.Hold(DeviceInterface(m_device)); }

protected:
    explicit DeviceChild(Device* device) : m_device(device) {}

    Device* const m_device;

private:
    DeviceHold m_hold;
};

}  // namespace velunar::d3d8
