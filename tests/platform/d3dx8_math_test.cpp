#include "platform/d3dx8/d3dx8.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

void ExpectMatrixNear(const D3DXMATRIX& got, const D3DXMATRIX& want, float eps = 1e-5f) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(got(r, c), want(r, c), eps) << "element _" << r + 1 << c + 1;
}

D3DXVECTOR3 Apply(const D3DXMATRIX& m, const D3DXVECTOR3& v) {
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &v, &m);
    return out;
}

void ExpectVecNear(const D3DXVECTOR3& got, const D3DXVECTOR3& want, float eps = 1e-5f) {
    EXPECT_NEAR(got.x, want.x, eps);
    EXPECT_NEAR(got.y, want.y, eps);
    EXPECT_NEAR(got.z, want.z, eps);
}

TEST(D3DXMath, RotationsTurnLeftHanded) {
    const float q = D3DX_PI / 2;
    D3DXMATRIX m;
    // About Z by +90 degrees: x goes to y.
    ExpectVecNear(Apply(*D3DXMatrixRotationZ(&m, q), {1, 0, 0}), {0, 1, 0});
    // About X: y goes to z.
    ExpectVecNear(Apply(*D3DXMatrixRotationX(&m, q), {0, 1, 0}), {0, 0, 1});
    // About Y: z goes to x.
    ExpectVecNear(Apply(*D3DXMatrixRotationY(&m, q), {0, 0, 1}), {1, 0, 0});

    const float c = std::cos(0.3f), s = std::sin(0.3f);
    ExpectMatrixNear(*D3DXMatrixRotationY(&m, 0.3f), D3DXMATRIX(c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1));
    ExpectMatrixNear(*D3DXMatrixRotationX(&m, 0.3f), D3DXMATRIX(1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1));
}

// The mesh placement chain: scale, turn, move, applied in that order.
TEST(D3DXMath, ProductAppliesLeftFactorFirst) {
    D3DXMATRIX s, rz, t, world;
    D3DXMatrixScaling(&s, 2, 2, 2);
    D3DXMatrixRotationZ(&rz, D3DX_PI / 2);
    D3DXMatrixTranslation(&t, 0, 5, 0);
    D3DXMatrixMultiply(&world, &s, &rz);
    D3DXMatrixMultiply(&world, &world, &t);  // output aliases an input
    ExpectVecNear(Apply(world, {1, 0, 0}), {0, 7, 0});
    ExpectMatrixNear(s * rz * t, world);

    D3DXMATRIX id;
    D3DXMatrixIdentity(&id);
    EXPECT_TRUE(D3DXMatrixIsIdentity(&id));
    ExpectMatrixNear(world * id, world);
    D3DXMATRIX inv;
    ASSERT_NE(D3DXMatrixInverse(&inv, nullptr, &world), nullptr);
    ExpectMatrixNear(world * inv, id);
    D3DXMATRIX zero;
    float det = 1;
    EXPECT_EQ(D3DXMatrixInverse(&inv, &det, &zero), nullptr);
    EXPECT_EQ(det, 0.0f);
}

TEST(D3DXMath, LookAtPutsTargetOnPositiveZ) {
    const D3DXVECTOR3 eye(0, 0, -10), at(0, 0, 0), up(0, 1, 0);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    ExpectMatrixNear(view, D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 10, 1));

    // From the side: eye on +x looking at the origin; left-handed, so world +z is on the right.
    const D3DXVECTOR3 eye2(5, 0, 0);
    D3DXMatrixLookAtLH(&view, &eye2, &at, &up);
    ExpectVecNear(Apply(view, {0, 0, 0}), {0, 0, 5});
    ExpectVecNear(Apply(view, {0, 0, 1}), {1, 0, 5});
    ExpectVecNear(Apply(view, {0, 1, 0}), {0, 1, 5});
}

TEST(D3DXMath, PerspectiveMapsNearAndFarToZeroAndOne) {
    D3DXMATRIX p;
    D3DXMatrixPerspectiveFovLH(&p, D3DX_PI / 2, 800.0f / 600.0f, 0.1f, 10000.0f);
    EXPECT_NEAR(p._22, 1.0f, 1e-6f);  // cot(45 degrees)
    EXPECT_NEAR(p._11, 0.75f, 1e-6f);
    EXPECT_EQ(p._34, 1.0f);
    EXPECT_EQ(p._44, 0.0f);
    EXPECT_NEAR(Apply(p, {0, 0, 0.1f}).z, 0.0f, 1e-5f);
    EXPECT_NEAR(Apply(p, {0, 0, 10000.0f}).z, 1.0f, 1e-5f);
    // A point on the top edge of the view cone lands on y = 1.
    EXPECT_NEAR(Apply(p, {0, 3, 3}).y, 1.0f, 1e-5f);
}

TEST(D3DXMath, VectorsNormaliseAndZeroStaysZero) {
    D3DXVECTOR3 v(3, 0, 4), n;
    D3DXVec3Normalize(&n, &v);
    ExpectVecNear(n, {0.6f, 0, 0.8f});
    const D3DXVECTOR3 zero;
    D3DXVec3Normalize(&n, &zero);
    EXPECT_EQ(n, D3DXVECTOR3(0, 0, 0));
    D3DXVECTOR3 c;
    const D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0);
    ExpectVecNear(*D3DXVec3Cross(&c, &x, &y), {0, 0, 1});
    EXPECT_EQ(D3DXVec3Dot(&x, &y), 0.0f);
}

TEST(D3DXMath, ColourConvertsAndClamps) {
    const D3DXCOLOR c(0xff804000u);
    EXPECT_NEAR(c.r, 128 / 255.0f, 1e-6f);
    EXPECT_EQ(static_cast<D3DCOLOR>(c), 0xff804000u);
    EXPECT_EQ(static_cast<D3DCOLOR>(D3DXCOLOR(2.0f, -1.0f, 0.5f, 1.0f)), 0xffff0080u);
}

TEST(D3DXErrors, EveryDeviceCodeHasItsOwnText) {
    char buf[128];
    const HRESULT codes[] = {D3D_OK, E_FAIL, E_OUTOFMEMORY, D3DERR_INVALIDCALL, D3DERR_NOTAVAILABLE,
                             D3DERR_OUTOFVIDEOMEMORY, D3DERR_NOTFOUND, D3DERR_DEVICELOST, D3DERR_WRONGTEXTUREFORMAT,
                             D3DERR_DRIVERINTERNALERROR, D3DXERR_INVALIDDATA};
    for (HRESULT hr : codes) {
        ASSERT_EQ(D3DXGetErrorStringA(hr, buf, sizeof buf), D3D_OK);
        EXPECT_EQ(std::strstr(buf, "Unknown"), nullptr) << std::hex << hr;
    }
    D3DXGetErrorStringA(D3DERR_INVALIDCALL, buf, sizeof buf);
    EXPECT_STREQ(buf, "D3DERR_INVALIDCALL: invalid call");
    D3DXGetErrorStringA(static_cast<HRESULT>(0x80001234), buf, sizeof buf);
    EXPECT_STREQ(buf, "Unknown error 0x80001234");
    // Cut to fit, always terminated.
    char small[6];
    std::memset(small, 'x', sizeof small);
    D3DXGetErrorStringA(D3DERR_INVALIDCALL, small, sizeof small);
    EXPECT_STREQ(small, "D3DER");
    EXPECT_EQ(D3DXGetErrorStringA(D3D_OK, nullptr, 10), D3DERR_INVALIDCALL);
}

TEST(D3DXConstants, MatchTheLibrary) {
    EXPECT_EQ(D3DXIFF_BMP, 0u);
    EXPECT_EQ(D3DX_FILTER_LINEAR | D3DX_FILTER_DITHER, 0x80003);
    EXPECT_EQ(D3DX_FILTER_TRIANGLE, 4);
    EXPECT_EQ(static_cast<DWORD>(D3DXERR_INVALIDDATA), 0x88760b59u);
}

}  // namespace
