// d3d8_caps.cpp - the capabilities the device and the Direct3D object report.
#include "platform/d3d8/d3d8_caps.h"

namespace velunar::d3d8 {

void FillCaps(D3DCAPS8* c) {
    *c = D3DCAPS8{};
    c->DeviceType = D3DDEVTYPE_HAL;
    c->AdapterOrdinal = D3DADAPTER_DEFAULT;
    c->PresentationIntervals = D3DPRESENT_INTERVAL_ONE | D3DPRESENT_INTERVAL_IMMEDIATE;
    c->DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT;
    c->PrimitiveMiscCaps = D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW | D3DPMISCCAPS_BLENDOP;
    c->ZCmpCaps = c->AlphaCmpCaps = 0xff;
    c->SrcBlendCaps = c->DestBlendCaps = 0x1fff;
    c->TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_MIPMAP |
                     D3DPTEXTURECAPS_PROJECTED;
    c->TextureAddressCaps = 0x1f;
    c->MaxTextureWidth = c->MaxTextureHeight = 4096;
    c->MaxTextureRepeat = 8192;
    c->MaxTextureAspectRatio = 4096;
    c->MaxAnisotropy = 1;
    c->MaxVertexW = 1e10f;
    c->GuardBandLeft = c->GuardBandTop = -8192.0f;
    c->GuardBandRight = c->GuardBandBottom = 8192.0f;
    c->FVFCaps = D3DFVFCAPS_PSIZE | 8;
    c->TextureOpCaps = 0x03ffffff;
    c->MaxTextureBlendStages = 4;
    c->MaxSimultaneousTextures = 4;
    c->MaxActiveLights = 8;
    c->MaxPointSize = 64.0f;
    c->MaxPrimitiveCount = 0xfffff;
    c->MaxVertexIndex = 0xffffff;
    c->MaxStreams = 1;
    c->MaxStreamStride = 255;
}

}  // namespace velunar::d3d8
