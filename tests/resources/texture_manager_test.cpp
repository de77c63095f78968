// CTextureManager on a real device: the format probe, the three loaders, duplicates, lookups,
// the full table, and the alpha that ends up in the texture.
#include "resources/texture_manager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "damage.h"
#include "device_fixture.h"
#include "image_fixtures.h"
#include "log_capture.h"
#include "platform/d3d8/d3d8.h"

namespace {

// A Direct3D object that supports no texture format at all.
struct NoFormatsD3D : IDirect3D8 {
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    UINT GetAdapterCount() override { return 1; }
    HRESULT GetAdapterDisplayMode(UINT, D3DDISPLAYMODE*) override { return E_FAIL; }
    HRESULT CheckDeviceFormat(UINT, D3DDEVTYPE, D3DFORMAT, DWORD, D3DRESOURCETYPE, D3DFORMAT) override {
        return D3DERR_NOTAVAILABLE;
    }
    HRESULT GetDeviceCaps(UINT, D3DDEVTYPE, D3DCAPS8*) override { return E_FAIL; }
    HRESULT CreateDevice(UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS*, IDirect3DDevice8**) override {
        return E_FAIL;
    }
};

// Reads the top level's alpha of pixel (x, y); -1 when the texture cannot be read back.
int AlphaAt(IDirect3DTexture8* tex, int x, int y) {
    D3DLOCKED_RECT lr{};
    if (FAILED(tex->LockRect(0, &lr, nullptr, D3DLOCK_READONLY))) return -1;
    const BYTE* row = static_cast<const BYTE*>(lr.pBits) + y * lr.Pitch;
    const int a = row[x * 4 + 3];
    tex->UnlockRect(0);
    return a;
}

class TextureManagerTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        ASSERT_TRUE(WriteFlatJpeg(Path("stq1.jpg"), 16, 16, 200, 120, 40));
        ASSERT_TRUE(WriteFlatJpeg(Path("grey16.jpg"), 16, 16, 128, 128, 128));
        ASSERT_TRUE(WriteFlatJpeg(Path("grey16x8.jpg"), 16, 8, 128, 128, 128));
        ASSERT_TRUE(WriteFlatJpeg(Path("dark.jpg"), 8, 8, 20, 20, 20));
        ASSERT_TRUE(WriteFlatJpeg(Path("bright.jpg"), 8, 8, 160, 170, 180));
    }
};

TEST_F(TextureManagerTest, ProbeLogsEveryCandidateAndPrefersTheLastSupported) {
    LogCapture log("probe");
    {
        CTextureManager tm(m_pDevice, m_pD3D, m_desktopFormat);
        EXPECT_EQ(tm.GetPreferredFormat(), static_cast<DWORD>(D3DFMT_A8R8G8B8));
        EXPECT_EQ(tm.GetCount(), 0);
    }
    const std::string t = log.Text();
    const auto a = t.find("CTextureManager::CTextureManager : Checking texture format D3DFMT_14R5G5B5 : ");
    const auto b = t.find("CTextureManager::CTextureManager : Checking texture format D3DFMT_A4R4G4B4 : ");
    const auto c = t.find("CTextureManager::CTextureManager : Checking texture format D3DFMT_A8R8G8B8 : SUPPORTED\n");
    const auto d = t.find("CTextureManager::CTextureManager : Initialized and waiting for orders...\n");
    ASSERT_NE(a, std::string::npos) << t;
    EXPECT_TRUE(a < b && b < c && c < d) << t;
    EXPECT_NE(t.find("CTextureManager::~CTextureManager : Releasing 0 textures ...\n"), std::string::npos);
    EXPECT_NE(t.find("CTextureManager::~CTextureManager : Deinitialized ...\n"), std::string::npos);
}

TEST_F(TextureManagerTest, DuplicateNameKeepsTheFirstTexture) {
    LogCapture log("duplicate");
    CTextureManager tm(m_pDevice, m_pD3D, m_desktopFormat);
    int first = -1, second = -1;
    ASSERT_TRUE(tm.Load(Path("stq1.jpg").c_str(), "stq1", &first));
    EXPECT_EQ(first, 0);
    IDirect3DTexture8* tex = tm.GetTexture("stq1");
    ASSERT_NE(tex, nullptr);
    EXPECT_TRUE(log.Has("CTextureManager::Load : Successfully loaded [stq1] from  " + Path("stq1.jpg") + "\n"));

    EXPECT_FALSE(tm.Load(Path("grey16.jpg").c_str(), "stq1", &second));
    EXPECT_TRUE(log.Has("CTextureManager::Load : Cannot load texture (" + Path("grey16.jpg") +
                        ") - there is such texture named [stq1] already\n"));
    EXPECT_FALSE(tm.LoadA(Path("grey16.jpg").c_str(), Path("grey16.jpg").c_str(), "stq1"));
    EXPECT_TRUE(log.Has("there is such texture named[stq1] already\n"));
    EXPECT_FALSE(tm.LoadAutoAlpha(Path("dark.jpg").c_str(), "stq1"));
    EXPECT_TRUE(log.Has("CTextureManager::LoadAutoAlpha : Cannot load texture (" + Path("dark.jpg") +
                        ") there is such texture named [stq1] already\n"));
    EXPECT_EQ(second, -1);
    EXPECT_EQ(tm.GetCount(), 1);
    EXPECT_EQ(tm.GetTexture("stq1"), tex);
    ASSERT_NE(tm.GetEntry(0), nullptr);
    EXPECT_STREQ(tm.GetEntry(0)->pszFileName, Path("stq1.jpg").c_str());
}

TEST_F(TextureManagerTest, LookupsReportMissesWithZeroPaddedNumbers) {
    LogCapture log("lookups");
    CTextureManager tm(m_pDevice, m_pD3D, m_desktopFormat);
    ASSERT_TRUE(tm.Load(Path("stq1.jpg").c_str(), "stq1"));
    DWORD w = 0, h = 0;
    EXPECT_NE(tm.GetTexture(0, &w, &h), nullptr);
    EXPECT_EQ(w, 16u);
    EXPECT_EQ(h, 16u);

    EXPECT_EQ(tm.GetTexture(1), nullptr);
    EXPECT_TRUE(log.Has("CTextureManager::GetTexture : texture index to big [001 / 001]\n"));
    EXPECT_EQ(tm.GetTexture(-1), nullptr);
    w = h = 9;
    EXPECT_FALSE(tm.GetTextureMetrics(5, &w, &h));
    EXPECT_EQ(w, 0u);
    EXPECT_EQ(h, 0u);
    EXPECT_TRUE(log.Has("CTextureManager::GetTextureMetrics : texture index to big [005 / 001]\n"));
    EXPECT_TRUE(tm.GetTextureMetrics(0, &w, &h));
    EXPECT_EQ(w, 16u);

    EXPECT_EQ(tm.GetTexture("Stq1"), nullptr);  // names are case-sensitive
    EXPECT_TRUE(log.Has("CTextureManager::GetTexture : cannot find texture named Stq1\n"));
    const std::string before = log.Text();
    EXPECT_EQ(tm.FindTexture("nothing"), nullptr);
    EXPECT_EQ(log.Text(), before);  // the silent find logs nothing
}

TEST_F(TextureManagerTest, LoadAPutsTheMaskGreyIntoAlpha) {
    LogCapture log("loada");
    CTextureManager tm(m_pDevice, m_pD3D, m_desktopFormat);
    int index = -1;
    ASSERT_TRUE(tm.LoadA(Path("stq1.jpg").c_str(), Path("grey16.jpg").c_str(), "masked", &index));
    EXPECT_EQ(index, 0);
    const TextureEntry* e = tm.GetEntry(0);
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->pszAlphaFileName, Path("grey16.jpg").c_str());
    EXPECT_EQ(e->dwWidth, 16u);
    const int a = AlphaAt(e->pTexture, 5, 7);
    ASSERT_GE(a, 0) << "texture not readable";
    EXPECT_NEAR(a, 128, 3);
    EXPECT_TRUE(log.Has("CTextureManager::LoadA : Successfully loaded [masked] with alphafrom  " + Path("stq1.jpg") +
                        " and " + Path("grey16.jpg") + "\n"));
}

TEST_F(TextureManagerTest, LoadARefusesAMaskOfAnotherSize) {
    LogCapture log("mismatch");
    CTextureManager tm(m_pDevice, m_pD3D, m_desktopFormat);
    EXPECT_FALSE(tm.LoadA(Path("grey16.jpg").c_str(), Path("grey16x8.jpg").c_str(), "bad"));
    EXPECT_TRUE(log.Has("CTextureManager::LoadA : Texture and alpha channel are not the same! (" + Path("grey16.jpg") +
                        " + " + Path("grey16x8.jpg") + ")\n"));
    EXPECT_EQ(tm.GetCount(), 0);
}

TEST_F(TextureManagerTest, LoadAExtensionsAndMissingFiles) {
    LogCapture log("loada_ext");
    CTextureManager tm(m_pDevice, m_pD3D, m_desktopFormat);
    // Upper-case extension: recognised, and the file is opened by the name as given.
    std::filesystem::copy_file(Path("grey16.jpg"), Path("Upper.JPG"), std::filesystem::copy_options::overwrite_existing);
    ASSERT_TRUE(tm.LoadA(Path("Upper.JPG").c_str(), Path("grey16.jpg").c_str(), "upper"));
    ASSERT_NE(tm.GetEntry(0), nullptr);
    EXPECT_STREQ(tm.GetEntry(0)->pszFileName, Path("Upper.JPG").c_str());

    EXPECT_FALSE(tm.LoadA(Path("pic.png").c_str(), Path("grey16.jpg").c_str(), "p1"));
    EXPECT_TRUE(log.Has("CTextureManager::LoadA : PNG NOT SUPPORTED YET!\n"));
    EXPECT_FALSE(tm.LoadA(Path("pic.bmp").c_str(), Path("grey16.jpg").c_str(), "p2"));
    EXPECT_TRUE(log.Has("CTextureManager::LoadA : Cannot load texture (" + Path("pic.bmp") + ") - unknown file format\n"));
    EXPECT_FALSE(tm.LoadA(Path("grey16.jpg").c_str(), Path("mask.tga").c_str(), "p3"));
    EXPECT_TRUE(log.Has("CTextureManager::LoadA : Cannot load alphamask (" + Path("mask.tga") + ") - unknown file format\n"));
    EXPECT_FALSE(tm.LoadA(Path("grey16.jpg").c_str(), Path("absent.jpg").c_str(), "p4"));
    EXPECT_TRUE(log.Has("File " + Path("absent.jpg") + " not found!\n"));
    EXPECT_TRUE(log.Has("CTextureManager::LoadA : Cannot load texture (" + Path("grey16.jpg") + " + " +
                        Path("absent.jpg") + ")\n"));
    EXPECT_FALSE(tm.LoadA(nullptr, Path("grey16.jpg").c_str(), "p5"));
    EXPECT_EQ(tm.GetCount(), 1);
}

TEST_F(TextureManagerTest, AutoAlphaFollowsBrightness) {
    LogCapture log("autoalpha");
    CTextureManager tm(m_pDevice, m_pD3D, m_desktopFormat);
    ASSERT_TRUE(tm.LoadAutoAlpha(Path("dark.jpg").c_str(), "dark"));
    ASSERT_TRUE(tm.LoadAutoAlpha(Path("bright.jpg").c_str(), "bright"));
    EXPECT_TRUE(log.Has("CTextureManager::LoadAutoAlpha : Successfully loaded [dark] with auto calculated alphafrom  " +
                        Path("dark.jpg") + "\n"));
    const int dark = AlphaAt(tm.GetTexture("dark"), 3, 3);
    const int bright = AlphaAt(tm.GetTexture("bright"), 3, 3);
    EXPECT_NEAR(dark, 20, 2);
    EXPECT_EQ(bright, 255);
    EXPECT_EQ(tm.GetEntry(0)->pszAlphaFileName, nullptr);

    EXPECT_FALSE(tm.LoadAutoAlpha(Path("x.png").c_str(), "x"));
    EXPECT_TRUE(log.Has("CTextureManager::LoadAutoAlpha : PNG NOT SUPPORTED YET!\nCTextureManager::LoadAutoAlpha : "
                        "Cannot load texture (" + Path("x.png") + ")\n"));
    EXPECT_FALSE(tm.LoadAutoAlpha(Path("x.gif").c_str(), "y"));
    EXPECT_TRUE(log.Has("CTextureManager::LoadAutoAlpha : Cannot load texture (" + Path("x.gif") +
                        ") - unknown file format\n"));
    EXPECT_FALSE(tm.LoadAutoAlpha(Path("none.jpg").c_str(), "z"));
    EXPECT_TRUE(log.Has("CTextureManager::LoadAutoAlpha : Cannot load texture (" + Path("none.jpg") + ")\n"));
    EXPECT_EQ(tm.GetCount(), 2);
}

TEST_F(TextureManagerTest, DamagedJpegFailsTheLoadOnly) {
    LogCapture log("damaged");
    { std::ofstream(Path("broken.jpg"), std::ios::binary) << "no jpeg here"; }
    CTextureManager tm(m_pDevice, m_pD3D, m_desktopFormat);
    EXPECT_FALSE(tm.LoadAutoAlpha(Path("broken.jpg").c_str(), "broken"));
    EXPECT_FALSE(tm.LoadA(Path("broken.jpg").c_str(), Path("grey16.jpg").c_str(), "broken"));
    EXPECT_TRUE(log.Has("LoadJpg : "));
    EXPECT_EQ(tm.GetCount(), 0);
    EXPECT_TRUE(tm.LoadAutoAlpha(Path("dark.jpg").c_str(), "after"));
}

TEST_F(TextureManagerTest, WithoutAnAlphaFormatOnlyPlainLoadsWork) {
    LogCapture log("noformat");
    NoFormatsD3D none;
    CTextureManager tm(m_pDevice, &none, m_desktopFormat);
    EXPECT_EQ(tm.GetPreferredFormat(), 0u);
    EXPECT_TRUE(log.Has("Checking texture format D3DFMT_A8R8G8B8 : NOT SUPPORTED\n"));
    EXPECT_FALSE(tm.LoadA(Path("stq1.jpg").c_str(), Path("grey16.jpg").c_str(), "a"));
    EXPECT_TRUE(log.Has("CTextureManager::LoadA : Cannot create texture from (" + Path("stq1.jpg") + " + " +
                        Path("grey16.jpg") + ")\n"));
    EXPECT_FALSE(tm.LoadAutoAlpha(Path("dark.jpg").c_str(), "b"));
    EXPECT_TRUE(log.Has("CTextureManager::LoadAutoAlpha : Cannot create texture from (" + Path("dark.jpg") + ")\n"));
    EXPECT_TRUE(tm.Load(Path("stq1.jpg").c_str(), "c"));
    EXPECT_EQ(tm.GetCount(), 1);
}

TEST_F(TextureManagerTest, AFullTableRefusesFurtherLoads) {
    ASSERT_TRUE(WriteFlatJpeg(Path("one.jpg"), 1, 1, 90, 90, 90));
    CTextureManager tm(m_pDevice, m_pD3D, m_desktopFormat);
    for (int i = 0; i < CTextureManager::kMaxTextures; ++i)
        ASSERT_TRUE(tm.LoadAutoAlpha(Path("one.jpg").c_str(), ("t" + std::to_string(i)).c_str())) << i;
    LogCapture log("full");
    int index = -7;
    EXPECT_FALSE(tm.LoadAutoAlpha(Path("one.jpg").c_str(), "extra", &index));
    EXPECT_FALSE(tm.Load(Path("one.jpg").c_str(), "extra2"));
    EXPECT_FALSE(tm.LoadA(Path("one.jpg").c_str(), Path("one.jpg").c_str(), "extra3"));
    EXPECT_EQ(index, -7);
    EXPECT_EQ(tm.GetCount(), CTextureManager::kMaxTextures);
    EXPECT_TRUE(log.Has("CTextureManager::LoadAutoAlpha : Cannot load texture (" + Path("one.jpg") +
                        ") as [extra] - the table is full (1024 textures)\n"));
    EXPECT_NE(tm.GetTexture(1023), nullptr);
}

// The texture table over a damaged picture: cut at every length and with each byte inverted, as
// the colour and as the mask, it loads through every loader or is refused, and the table keeps
// only what loaded.
TEST_F(TextureManagerTest, EveryCutAndInvertedByteLoadsOrIsRefused) {
    auto read = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return damage::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const damage::Bytes jpeg = read(Path("dark.jpg"));
    ASSERT_GT(jpeg.size(), 100u);
    const std::string colour = Path("damaged.jpg"), mask = Path("damaged_mask.jpg");
    ASSERT_TRUE(WriteFlatJpeg(mask, 8, 8, 128, 128, 128));
    int loaded = 0;
    damage::ForEach(jpeg, 1, [&](const damage::Bytes& bytes, const std::string& what) {
        std::ofstream(colour, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        CTextureManager tm(m_pDevice, m_pD3D, m_desktopFormat);
        int kept = 0;
        for (bool ok : {tm.Load(colour.c_str(), "p"), tm.LoadAutoAlpha(colour.c_str(), "a"),
                        tm.LoadA(colour.c_str(), mask.c_str(), "m"), tm.LoadA(mask.c_str(), colour.c_str(), "r")}) {
            if (!ok) continue;
            const TextureEntry* e = tm.GetEntry(kept++);
            ASSERT_NE(e, nullptr) << what;
            EXPECT_NE(e->pTexture, nullptr) << what;
            EXPECT_GT(e->dwWidth, 0u) << what;
        }
        EXPECT_EQ(tm.GetCount(), kept) << what;
        loaded += kept;
    });
    EXPECT_GT(loaded, 0);
}

}  // namespace
