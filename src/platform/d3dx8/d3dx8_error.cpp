// d3dx8_error.cpp - D3DXGetErrorStringA: the text of a Direct3D or D3DX result code.
#include <cstdio>
#include <cstring>

#include "platform/d3dx8/d3dx8core.h"

namespace {

struct ErrorText {
    HRESULT code;
    const char* text;
};

// Name and meaning, so a log line says both what failed and which constant to look up.
constexpr ErrorText kErrors[] = {
    {D3D_OK, "D3D_OK: no error"},
    {S_FALSE, "S_FALSE: success, nothing done"},
    {E_FAIL, "E_FAIL: unspecified failure"},
    {E_OUTOFMEMORY, "E_OUTOFMEMORY: out of memory"},
    {E_INVALIDARG, "E_INVALIDARG: invalid argument"},
    {E_NOTIMPL, "E_NOTIMPL: not implemented"},
    {E_NOINTERFACE, "E_NOINTERFACE: no such interface"},
    {E_POINTER, "E_POINTER: invalid pointer"},
    {D3DERR_WRONGTEXTUREFORMAT, "D3DERR_WRONGTEXTUREFORMAT: the texture format cannot be used here"},
    {D3DERR_UNSUPPORTEDCOLOROPERATION, "D3DERR_UNSUPPORTEDCOLOROPERATION: unsupported colour operation"},
    {D3DERR_UNSUPPORTEDCOLORARG, "D3DERR_UNSUPPORTEDCOLORARG: unsupported colour argument"},
    {D3DERR_UNSUPPORTEDALPHAOPERATION, "D3DERR_UNSUPPORTEDALPHAOPERATION: unsupported alpha operation"},
    {D3DERR_UNSUPPORTEDALPHAARG, "D3DERR_UNSUPPORTEDALPHAARG: unsupported alpha argument"},
    {D3DERR_TOOMANYOPERATIONS, "D3DERR_TOOMANYOPERATIONS: too many texture operations"},
    {D3DERR_CONFLICTINGTEXTUREFILTER, "D3DERR_CONFLICTINGTEXTUREFILTER: conflicting texture filters"},
    {D3DERR_UNSUPPORTEDFACTORVALUE, "D3DERR_UNSUPPORTEDFACTORVALUE: unsupported texture factor value"},
    {D3DERR_CONFLICTINGRENDERSTATE, "D3DERR_CONFLICTINGRENDERSTATE: conflicting render states"},
    {D3DERR_UNSUPPORTEDTEXTUREFILTER, "D3DERR_UNSUPPORTEDTEXTUREFILTER: unsupported texture filter"},
    {D3DERR_CONFLICTINGTEXTUREPALETTE, "D3DERR_CONFLICTINGTEXTUREPALETTE: conflicting texture palettes"},
    {D3DERR_DRIVERINTERNALERROR, "D3DERR_DRIVERINTERNALERROR: internal driver error"},
    {D3DERR_NOTFOUND, "D3DERR_NOTFOUND: not found"},
    {D3DERR_MOREDATA, "D3DERR_MOREDATA: more data than the buffer holds"},
    {D3DERR_DEVICELOST, "D3DERR_DEVICELOST: the device is lost"},
    {D3DERR_DEVICENOTRESET, "D3DERR_DEVICENOTRESET: the device needs a reset"},
    {D3DERR_NOTAVAILABLE, "D3DERR_NOTAVAILABLE: not available"},
    {D3DERR_OUTOFVIDEOMEMORY, "D3DERR_OUTOFVIDEOMEMORY: out of video memory"},
    {D3DERR_INVALIDDEVICE, "D3DERR_INVALIDDEVICE: invalid device"},
    {D3DERR_INVALIDCALL, "D3DERR_INVALIDCALL: invalid call"},
    {D3DERR_DRIVERINVALIDCALL, "D3DERR_DRIVERINVALIDCALL: invalid call to the driver"},
    {D3DXERR_CANNOTMODIFYINDEXBUFFER, "D3DXERR_CANNOTMODIFYINDEXBUFFER: the index buffer cannot be modified"},
    {D3DXERR_INVALIDMESH, "D3DXERR_INVALIDMESH: invalid mesh"},
    {D3DXERR_CANNOTATTRSORT, "D3DXERR_CANNOTATTRSORT: attribute sort is not supported"},
    {D3DXERR_SKINNINGNOTSUPPORTED, "D3DXERR_SKINNINGNOTSUPPORTED: skinning is not supported"},
    {D3DXERR_TOOMANYINFLUENCES, "D3DXERR_TOOMANYINFLUENCES: too many influences"},
    {D3DXERR_INVALIDDATA, "D3DXERR_INVALIDDATA: the data is invalid"},
    {D3DXERR_LOADEDMESHASNODATA, "D3DXERR_LOADEDMESHASNODATA: the mesh has no data"},
};

}  // namespace

HRESULT D3DXGetErrorStringA(HRESULT hr, LPSTR pBuffer, UINT BufferLen) {
    if (!pBuffer || BufferLen == 0) return D3DERR_INVALIDCALL;
    for (const ErrorText& e : kErrors) {
        if (e.code == hr) {
            std::snprintf(pBuffer, BufferLen, "%s", e.text);
            return D3D_OK;
        }
    }
    std::snprintf(pBuffer, BufferLen, "Unknown error 0x%08X", static_cast<unsigned>(hr));
    return D3D_OK;
}
