// CRender's device set-up, frame bracket, presets, material, title line, screenshots and the
// texture-table forwarders, on the headless device.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <regex>

#include "core/globals.h"
#include "platform/window/clock.h"
#include "render/render_fixture.h"
#include "resources/texture_manager.h"

namespace {

// Runs the body with the current directory switched to dir.
class ScopedCwd {
public:
    explicit ScopedCwd(const std::string& dir) : m_old(std::filesystem::current_path()) {
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
    }
    ~ScopedCwd() { std::filesystem::current_path(m_old); }

private:
    std::filesystem::path m_old;
};

void Touch(const std::string& name) { std::ofstream(name) << "x"; }

std::uint32_t ReadLe32(const std::vector<char>& b, std::size_t at) {
    return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8 |
           static_cast<std::uint8_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}

}  // namespace

TEST_F(RenderTest, UnknownTextureModesChangeNothing) {
    m_pRender->SetTextureMode(TM_SPHEREMAP, 0);
    const DWORD before[] = {RS(D3DRS_SRCBLEND), RS(D3DRS_ALPHABLENDENABLE), TSS(0, D3DTSS_COLOROP),
                            TSS(0, D3DTSS_TEXCOORDINDEX), TSS(0, D3DTSS_TEXTURETRANSFORMFLAGS)};
    m_pRender->SetTextureMode(7, 0);
    m_pRender->SetTextureMode(-1, 0);
    const DWORD after[] = {RS(D3DRS_SRCBLEND), RS(D3DRS_ALPHABLENDENABLE), TSS(0, D3DTSS_COLOROP),
                           TSS(0, D3DTSS_TEXCOORDINDEX), TSS(0, D3DTSS_TEXTURETRANSFORMFLAGS)};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(before[i], after[i]) << i;
    EXPECT_EQ(before[3], static_cast<DWORD>(D3DTSS_TCI_CAMERASPACENORMAL));
}

TEST_F(RenderTest, MaterialTakesAlphaFirst) {
    EXPECT_TRUE(m_pRender->SetMaterial(0.2f, 1.0f, 0.5f, 0.25f));
    D3DMATERIAL8 m{};
    m_pDevice->GetMaterial(&m);
    EXPECT_FLOAT_EQ(m.Diffuse.a, 0.2f);
    EXPECT_FLOAT_EQ(m.Diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(m.Diffuse.g, 0.5f);
    EXPECT_FLOAT_EQ(m.Diffuse.b, 0.25f);
    EXPECT_FLOAT_EQ(m.Ambient.a, 0.2f);
    EXPECT_FLOAT_EQ(m.Ambient.b, 0.25f);
    EXPECT_FLOAT_EQ(m.Specular.r, 0.0f);
    EXPECT_FLOAT_EQ(m.Power, 0.0f);
}

TEST_F(RenderTest, FrameBracketClearsAndPresentsOnce) {
    m_pRender->m_dwClearColor = 0x00ff0000;
    ASSERT_TRUE(m_pRender->BeginScene(0));
    EXPECT_TRUE(m_pRender->InScene());
    EXPECT_EQ(At(ReadBack(), 400, 300), 0xff0000u);

    // Inside the frame a depth-only clear leaves the colour and the scene as they are.
    m_pRender->m_dwClearColor = 0x000000ff;
    EXPECT_TRUE(m_pRender->BeginScene(1));
    EXPECT_TRUE(m_pRender->InScene());
    EXPECT_EQ(At(ReadBack(), 10, 10), 0xff0000u);
    EXPECT_TRUE(m_pRender->BeginScene(0));
    EXPECT_EQ(At(ReadBack(), 10, 10), 0x0000ffu);

    EXPECT_TRUE(m_pRender->EndScene());
    EXPECT_FALSE(m_pRender->InScene());
    EXPECT_TRUE(m_pRender->EndScene());
    EXPECT_FALSE(m_pRender->InScene());
    EXPECT_EQ(m_pRender->m_nSpriteTris, 0);
}

TEST_F(RenderTest, WindowedTitleShowsDemoTimeAndRate) {
    const DWORD saved = g_dwElapsed;
    g_dwElapsed = 2500;
    m_pRender->UpdateStats();
    char title[128] = {};
    GetWindowTextA(m_hWnd, title, sizeof(title));
    EXPECT_TRUE(std::regex_match(title, std::regex(R"(-2\.50 - [ 0-9]{4}\.[0-9]{2} fps)"))) << title;

    g_dwElapsed = 17250;
    m_pRender->UpdateStats();
    GetWindowTextA(m_hWnd, title, sizeof(title));
    EXPECT_EQ(std::string(title).substr(0, 8), "12.25 - ");
    g_dwElapsed = saved;
}

// After a seek the replayed frames must not count: the rate before it stands until a second of
// frames has been measured from the restart.
TEST_F(RenderTest, RestartedStatsKeepTheRateUntilASecondIsMeasured) {
    velunar::clock::UseVirtual(true);
    velunar::clock::SetVirtualTime(900000);
    // A replay's frames, far from the wall clock the show resumes on.
    for (int i = 0; i < 300; ++i) m_pRender->UpdateStats();
    velunar::clock::SetVirtualTime(10000);
    CRender::RestartStats(57.0f);
    EXPECT_FLOAT_EQ(CRender::GetFrameRate(), 57.0f);
    // 25 frames 40 ms apart: 25 frames a second once the second is over.
    for (int i = 1; i <= 25; ++i) {
        velunar::clock::SetVirtualTime(10000 + 40 * i + (i == 25 ? 10 : 0));
        m_pRender->UpdateStats();
        if (i < 25) {
            EXPECT_FLOAT_EQ(CRender::GetFrameRate(), 57.0f) << i;
        }
    }
    EXPECT_NEAR(CRender::GetFrameRate(), 25.0f / 1.01f, 0.01f);
    velunar::clock::UseVirtual(false);
}

class FullScreenRenderTest : public RenderTest {
protected:
    bool FullScreen() const override { return true; }
};

TEST_F(FullScreenRenderTest, TitleIsNeverTouched) {
    SetWindowTextA(m_hWnd, "untouched");
    m_pRender->UpdateStats();
    char title[64] = {};
    GetWindowTextA(m_hWnd, title, sizeof(title));
    EXPECT_STREQ(title, "untouched");
}

TEST_F(RenderTest, ScreenShotTakesTheFirstFreeNumber) {
    const std::string dir = Path("shots");
    std::filesystem::remove_all(dir);
    ScopedCwd cwd(dir);
    Touch("shot00000.bmp");
    Touch("shot00001.bmp");
    m_pRender->m_dwClearColor = 0x00336699;
    ASSERT_TRUE(m_pRender->BeginScene(2));
    m_pRender->ScreenShot();
    m_pRender->EndScene();

    EXPECT_TRUE(Logged("CRender::ScreenShot : Target surface saved as shot00002.bmp\n"));
    std::ifstream in("shot00002.bmp", std::ios::binary);
    std::vector<char> bmp((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(ReadLe32(bmp, 18), 800u);
    EXPECT_EQ(ReadLe32(bmp, 22), 600u);
    // First stored pixel (bottom-left), blue green red.
    const std::size_t data = ReadLe32(bmp, 10);
    EXPECT_EQ(static_cast<std::uint8_t>(bmp[data]), 0x99);
    EXPECT_EQ(static_cast<std::uint8_t>(bmp[data + 1]), 0x66);
    EXPECT_EQ(static_cast<std::uint8_t>(bmp[data + 2]), 0x33);
    EXPECT_FALSE(std::filesystem::exists("shot00003.bmp"));
}

// A link into a folder that does not exist: free to read, impossible to write.
TEST_F(RenderTest, ScreenShotThatCannotBeWrittenGoesToTheTemporaryDirectoryOrIsNotReportedAsSaved) {
    const std::string dir = Path("shots_fail");
    const std::string tmp = Path("shots_tmp");
    std::filesystem::remove_all(dir);
    std::filesystem::remove_all(tmp);
    std::filesystem::create_directories(tmp);
    ScopedCwd cwd(dir);
    std::filesystem::create_symlink("missing/folder/out.bmp", "shot00000.bmp");
    const char* oldTmp = std::getenv("TMPDIR");
    const std::string keptTmp = oldTmp ? oldTmp : "";
    setenv("TMPDIR", tmp.c_str(), 1);
    m_pRender->ScreenShot();
    EXPECT_TRUE(Logged("CRender::ScreenShot : Couldn't save the target surface as shot00000.bmp\n"));
    EXPECT_TRUE(Logged("CRender::ScreenShot : Target surface saved as " + tmp + "/shot00000.bmp\n"));
    EXPECT_TRUE(std::filesystem::exists(tmp + "/shot00000.bmp"));

    // Both refuse: no shot, and none said to be saved.
    std::filesystem::remove(tmp + "/shot00000.bmp");
    std::filesystem::create_symlink("missing/folder/out.bmp", tmp + "/shot00000.bmp");
    m_pRender->ScreenShot();
    EXPECT_TRUE(Logged("CRender::ScreenShot : No shot saved\n"));
    setenv("TMPDIR", keptTmp.c_str(), 1);
}

TEST_F(RenderTest, TextureBindingForwardersKeepTheCurrentTexture) {
    EXPECT_FLOAT_EQ(m_pRender->PixelToU(16), 0.0f);
    EXPECT_FLOAT_EQ(m_pRender->PixelToV(16), 0.0f);
    const std::string file = WriteImage("t64x32.png", 64, 32, [](int, int) { return 0xffffffffu; });
    ASSERT_TRUE(m_pRender->LoadTexture(file.c_str(), "wide"));
    EXPECT_FALSE(m_pRender->LoadTexture(file.c_str(), "wide"));

    ASSERT_TRUE(m_pRender->SetTexture("wide", 0));
    IDirect3DTexture8* wide = m_pRender->GetCurrentTexture();
    ASSERT_NE(wide, nullptr);
    EXPECT_FLOAT_EQ(m_pRender->PixelToU(16), 0.25f);
    EXPECT_FLOAT_EQ(m_pRender->PixelToV(16), 0.5f);
    IDirect3DBaseTexture8* bound = nullptr;
    m_pDevice->GetTexture(0, &bound);
    EXPECT_EQ(bound, wide);
    if (bound) bound->Release();

    // The current texture is not bound again, whatever the stage.
    EXPECT_TRUE(m_pRender->SetTexturePtr(wide, 1));
    m_pDevice->GetTexture(1, &bound);
    EXPECT_EQ(bound, nullptr);
    if (bound) bound->Release();
    // By index: the current one is refused, an index past the table unbinds.
    EXPECT_FALSE(m_pRender->SetTextureByIndex(0, 0));
    EXPECT_TRUE(m_pRender->SetTextureByIndex(5, 0));
    m_pDevice->GetTexture(0, &bound);
    EXPECT_EQ(bound, nullptr);
    if (bound) bound->Release();

    EXPECT_TRUE(m_pRender->SetTexture(nullptr, 0));
    EXPECT_FALSE(m_pRender->SetTexture("absent", 0));
    EXPECT_EQ(m_pRender->GetCurrentTexture(), nullptr);
    EXPECT_TRUE(Logged("CTextureManager::GetTexture : cannot find texture named absent\n"));
    EXPECT_TRUE(m_pRender->SetTextureByIndex(0, 0));
    EXPECT_EQ(m_pRender->GetCurrentTexture(), wide);
}
