// The device's state groups and what sits beside them: a change in one group alone reaches the
// next draw, present leaves the draws' own masks in force, unimplemented paths warn once under
// their own identity, and the swap chain's letterbox and vsync policy.
#include <string>

#include "d3d8_fixture.h"
#include "platform/d3d8/d3d8_swapchain.h"
#include "platform/d3d8/d3d8_warn.h"

namespace d3d8test {
namespace {

using StateGroups = DeviceTest;
using velunar::d3d8::Unimplemented;

// Draws between which only one state changes: the second draw must see the change even though
// nothing else marks its group stale. Pixels are read only after both draws, since a read-back
// binds a texture of its own.
TEST_F(StateGroups, AChangeInOneGroupAloneReachesTheNextDraw) {
    dev->SetRenderState(D3DRS_ZENABLE, FALSE);

    // Blend: the second quad adds nothing.
    ClearTo(0xff000000);
    ASSERT_EQ(Quad(0, 0, 10, 10, 0xffff0000), D3D_OK);
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    ASSERT_EQ(Quad(0, 0, 10, 10, 0xff00ff00), D3D_OK);
    EXPECT_TRUE(Near(Pixel(5, 5), 0xffff0000)) << "blend";
    dev->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);

    // Depth: the same z passes LESSEQUAL and fails LESS.
    dev->SetRenderState(D3DRS_ZENABLE, TRUE);
    ClearTo(0xff000000);
    ASSERT_EQ(Quad(0, 0, 10, 10, 0xffff0000, 0.5f), D3D_OK);
    dev->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    ASSERT_EQ(Quad(0, 0, 10, 10, 0xff00ff00, 0.5f), D3D_OK);
    EXPECT_TRUE(Near(Pixel(5, 5), 0xffff0000)) << "depth";
    dev->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    dev->SetRenderState(D3DRS_ZENABLE, FALSE);

    // Rasteriser: only red is written.
    ClearTo(0xff000000);
    ASSERT_EQ(Quad(20, 0, 30, 10, 0xff0000ff), D3D_OK);
    dev->SetRenderState(D3DRS_COLORWRITEENABLE, D3DCOLORWRITEENABLE_RED);
    ASSERT_EQ(Quad(0, 0, 10, 10, 0xffffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(5, 5), 0xffff0000)) << "colour writes";
    EXPECT_TRUE(Near(Pixel(25, 5), 0xff0000ff));
    dev->SetRenderState(D3DRS_COLORWRITEENABLE, 0xf);

    // Viewport: a quad over the whole target is cut to the left half.
    ClearTo(0xff000000);
    ASSERT_EQ(Quad(0, 0, 10, 10, 0xff0000ff), D3D_OK);
    D3DVIEWPORT8 half{0, 0, kWidth / 2, kHeight, 0.0f, 1.0f};
    ASSERT_EQ(dev->SetViewport(&half), D3D_OK);
    ASSERT_EQ(Quad(0, 0, kWidth, kHeight, 0xffffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(100, 300), 0xffffffff)) << "viewport";
    EXPECT_TRUE(Near(Pixel(600, 300), 0xff000000));
    D3DVIEWPORT8 whole{0, 0, kWidth, kHeight, 0.0f, 1.0f};
    ASSERT_EQ(dev->SetViewport(&whole), D3D_OK);

    // Program key: the alpha test turns on and drops the faint quad.
    ClearTo(0xff000000);
    ASSERT_EQ(Quad(20, 0, 30, 10, 0x10ffffff), D3D_OK);
    dev->SetRenderState(D3DRS_ALPHAREF, 0x80);
    dev->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    dev->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    ASSERT_EQ(Quad(0, 0, 10, 10, 0x10ffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(5, 5), 0xff000000)) << "program key";
    EXPECT_TRUE(Near(Pixel(25, 5), 0xffffffff));
    dev->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);

    // Uniforms: the same program, another texture factor.
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
    dev->SetRenderState(D3DRS_TEXTUREFACTOR, 0xffff0000);
    ClearTo(0xff000000);
    ASSERT_EQ(Quad(0, 0, 10, 10, 0xffffffff), D3D_OK);
    dev->SetRenderState(D3DRS_TEXTUREFACTOR, 0xff0000ff);
    ASSERT_EQ(Quad(20, 0, 30, 10, 0xffffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(5, 5), 0xffff0000)) << "uniforms";
    EXPECT_TRUE(Near(Pixel(25, 5), 0xff0000ff));

    // Textures: the same program, another texture, then another filter on it.
    IDirect3DTexture8* green = MakeTexture(2, 2, [](UINT, UINT) { return 0xff00ff00u; });
    IDirect3DTexture8* halves = MakeTexture(2, 1, [](UINT x, UINT) { return x ? 0xffffffffu : 0xff000000u; });
    dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    dev->SetTexture(0, green);
    ClearTo(0xff000000);
    ASSERT_EQ(TexturedQuad(0, 0, 10, 10, 0xffffffff), D3D_OK);
    dev->SetTexture(0, halves);
    ASSERT_EQ(TexturedQuad(20, 0, 120, 10, 0xffffffff), D3D_OK);
    dev->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    ASSERT_EQ(TexturedQuad(200, 0, 300, 10, 0xffffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(5, 5), 0xff00ff00)) << "textures";
    EXPECT_TRUE(Near(Pixel(30, 5), 0xff000000));
    EXPECT_TRUE(Near(Pixel(110, 5), 0xffffffff));
    // Point sampling gives 0 or 255 only; the linear filter blends across the middle.
    const int middle = Channel(Pixel(250, 5), 8);
    EXPECT_GT(middle, 40) << "sampler";
    EXPECT_LT(middle, 215) << "sampler";
    dev->SetTexture(0, nullptr);
    green->Release();
    halves->Release();
}

// A value set again unchanged marks nothing stale; the next change, set directly or by a state
// block recorded while the device held the same value, must still reach the draw.
TEST_F(StateGroups, AValueSetAgainThenChangedReachesTheDraw) {
    dev->SetRenderState(D3DRS_ZENABLE, FALSE);
    const D3DVIEWPORT8 whole{0, 0, kWidth, kHeight, 0.0f, 1.0f}, left{0, 0, kWidth / 2, kHeight, 0.0f, 1.0f};
    ASSERT_EQ(dev->SetViewport(&whole), D3D_OK);
    DWORD block = 0;
    ASSERT_EQ(dev->BeginStateBlock(), D3D_OK);
    ASSERT_EQ(dev->SetViewport(&whole), D3D_OK);
    ASSERT_EQ(dev->EndStateBlock(&block), D3D_OK);

    ClearTo(0xff000000);
    ASSERT_EQ(dev->SetViewport(&whole), D3D_OK);
    ASSERT_EQ(dev->SetViewport(&left), D3D_OK);
    ASSERT_EQ(Quad(0, 0, kWidth, kHeight, 0xffffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(600, 300), 0xff000000)) << "viewport set directly";
    ASSERT_EQ(dev->ApplyStateBlock(block), D3D_OK);
    ASSERT_EQ(Quad(0, 0, kWidth, kHeight, 0xffffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(600, 300), 0xffffffff)) << "viewport from the block";
    dev->DeleteStateBlock(block);

    IDirect3DTexture8* green = MakeTexture(2, 2, [](UINT, UINT) { return 0xff00ff00u; });
    IDirect3DTexture8* blue = MakeTexture(2, 2, [](UINT, UINT) { return 0xff0000ffu; });
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    dev->SetTexture(0, green);
    ASSERT_EQ(TexturedQuad(0, 0, 10, 10, 0xffffffff), D3D_OK);
    dev->SetTexture(0, green);
    dev->SetTexture(0, blue);
    ASSERT_EQ(TexturedQuad(20, 0, 30, 10, 0xffffffff), D3D_OK);
    EXPECT_TRUE(Near(Pixel(5, 5), 0xff00ff00)) << "texture";
    EXPECT_TRUE(Near(Pixel(25, 5), 0xff0000ff));
    dev->SetTexture(0, nullptr);
    green->Release();
    blue->Release();
}

TEST_F(StateGroups, DrawsAfterPresentKeepTheirMasks) {
    // Present writes every channel of the window; the back buffer's next draws still follow the
    // render states.
    dev->SetRenderState(D3DRS_ZENABLE, FALSE);
    dev->SetRenderState(D3DRS_COLORWRITEENABLE, D3DCOLORWRITEENABLE_GREEN);
    for (int frame = 0; frame < 2; ++frame) {
        ClearTo(0xff000000);
        ASSERT_EQ(Quad(0, 0, 10, 10, 0xffffffff), D3D_OK);
        EXPECT_TRUE(Near(Pixel(5, 5), 0xff00ff00)) << "frame " << frame;
        ASSERT_EQ(dev->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    }
}

TEST_F(StateGroups, EachUnimplementedPathWarnsOnceUnderItsOwnName) {
    const auto count = [](const std::string& text, const char* line) {
        int n = 0;
        for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) ++n;
        return n;
    };
    for (int i = 0; i < static_cast<int>(Unimplemented::Count); ++i) {
        const std::string text = velunar::d3d8::WarningText(static_cast<Unimplemented>(i));
        EXPECT_EQ(text.rfind("d3d8: ", 0), 0u) << "warning " << i;
        for (int j = 0; j < i; ++j) EXPECT_NE(text, velunar::d3d8::WarningText(static_cast<Unimplemented>(j)));
    }
    const bool stencilBefore = velunar::d3d8::Warned(Unimplemented::StencilTest);
    const bool fogBefore = velunar::d3d8::Warned(Unimplemented::Fog);
    ::testing::internal::CaptureStderr();
    dev->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    dev->SetRenderState(D3DRS_FOGENABLE, TRUE);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(Quad(0, 0, 10, 10, 0xffffffff), D3D_OK);
        // Other state changes between the draws bring both groups back to GL.
        dev->SetRenderState(D3DRS_ZFUNC, i % 2 ? D3DCMP_LESSEQUAL : D3DCMP_ALWAYS);
        dev->SetRenderState(D3DRS_SHADEMODE, i % 2 ? D3DSHADE_GOURAUD : D3DSHADE_FLAT);
    }
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(velunar::d3d8::Warned(Unimplemented::StencilTest));
    EXPECT_TRUE(velunar::d3d8::Warned(Unimplemented::Fog));
    EXPECT_EQ(count(err, velunar::d3d8::WarningText(Unimplemented::StencilTest)), stencilBefore ? 0 : 1);
    EXPECT_EQ(count(err, velunar::d3d8::WarningText(Unimplemented::Fog)), fogBefore ? 0 : 1);
}

TEST(SwapChain, LetterboxKeepsTheAspectCentredAndVsyncOnlyWhenSeen) {
    using velunar::d3d8::LetterboxRect;
    struct Case {
        int dw, dh, x, y, w, h;
    } cases[] = {
        {800, 600, 0, 0, 800, 600},       // the back buffer's own size
        {1920, 1080, 240, 0, 1440, 1080}, // bars left and right
        {1000, 1000, 0, 125, 1000, 750},  // bars above and below
        {1601, 1200, 0, 0, 1600, 1200},   // the odd pixel of the margin goes right
        {1366, 768, 171, 0, 1024, 768},
    };
    for (const Case& c : cases) {
        const velunar::d3d8::PresentRect r = LetterboxRect(c.dw, c.dh, 800, 600);
        EXPECT_EQ(r.x, c.x) << c.dw << "x" << c.dh;
        EXPECT_EQ(r.y, c.y) << c.dw << "x" << c.dh;
        EXPECT_EQ(r.width, c.w) << c.dw << "x" << c.dh;
        EXPECT_EQ(r.height, c.h) << c.dw << "x" << c.dh;
    }
    EXPECT_EQ(velunar::d3d8::SwapIntervalFor(true, false), 1);
    EXPECT_EQ(velunar::d3d8::SwapIntervalFor(true, true), 0);
    EXPECT_EQ(velunar::d3d8::SwapIntervalFor(false, false), 0);
}

}  // namespace
}  // namespace d3d8test
