// LoadJpg, FileExists and DupString against small images the tests write themselves.
#include "resources/image_load.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "log_capture.h"
#include "platform/jpeg/jpeg.h"

namespace {

std::string TmpPath(const std::string& name) {
    std::filesystem::create_directories(VELUNAR_TEST_TMP);
    return std::string(VELUNAR_TEST_TMP) + "/" + name;
}

TEST(LoadJpg, ColourImageComesBackAsBgrWithZeroFourthByte) {
    // Flat colour blocks survive JPEG's chroma subsampling well enough to check each channel.
    const int w = 3, h = 2;
    std::uint8_t rgb[w * h * 3];
    for (int i = 0; i < w * h; ++i) {
        rgb[i * 3 + 0] = 200;  // R
        rgb[i * 3 + 1] = 100;  // G
        rgb[i * 3 + 2] = 30;   // B
    }
    const std::string path = TmpPath("three_by_two.jpg");
    ASSERT_TRUE(velunar::jpeg::EncodeFile(path.c_str(), rgb, w, h, 100));

    DWORD width = 0, height = 0;
    std::unique_ptr<BYTE[]> px(LoadJpg(path.c_str(), &width, &height));
    ASSERT_NE(px, nullptr);
    EXPECT_EQ(width, 3u);
    EXPECT_EQ(height, 2u);
    EXPECT_EQ(g_dwJpgWidth, 3u);
    EXPECT_EQ(g_dwJpgHeight, 2u);
    for (int i = 0; i < w * h; ++i) {
        EXPECT_NEAR(px[i * 4 + 0], 30, 6) << "blue of pixel " << i;
        EXPECT_NEAR(px[i * 4 + 1], 100, 6) << "green of pixel " << i;
        EXPECT_NEAR(px[i * 4 + 2], 200, 6) << "red of pixel " << i;
        EXPECT_EQ(px[i * 4 + 3], 0) << "fourth byte of pixel " << i;
    }
    // Out-parameters are optional.
    std::unique_ptr<BYTE[]> again(LoadJpg(path.c_str(), nullptr, nullptr));
    EXPECT_NE(again, nullptr);
}

TEST(LoadJpg, MissingFileIsLoggedAndGivesNull) {
    LogCapture log("jpg_missing");
    const std::string path = TmpPath("no_such_image.jpg");
    std::filesystem::remove(path);
    DWORD width = 77, height = 77;
    EXPECT_EQ(LoadJpg(path.c_str(), &width, &height), nullptr);
    EXPECT_TRUE(log.Has("File " + path + " not found!\n"));
    EXPECT_EQ(width, 77u);
}

TEST(LoadJpg, DamagedFileFailsLikeAMissingOneAndTheProcessGoesOn) {
    LogCapture log("jpg_damaged");
    const std::string path = TmpPath("not_a_jpeg.jpg");
    {
        std::ofstream out(path, std::ios::binary);
        out << "this is plainly not a JPEG stream";
    }
    EXPECT_EQ(LoadJpg(path.c_str(), nullptr, nullptr), nullptr);
    const std::string text = log.Text();
    const auto at = text.find("LoadJpg : ");
    ASSERT_NE(at, std::string::npos) << text;
    // The decoder's text, three blanks, two dashes, two blanks, the path.
    EXPECT_NE(text.find("   --  " + path + "\n", at), std::string::npos) << text;

    // A file cut off after its first bytes is damaged too.
    std::uint8_t rgb[16 * 16 * 3] = {};
    const std::string good = TmpPath("cut.jpg");
    ASSERT_TRUE(velunar::jpeg::EncodeFile(good.c_str(), rgb, 16, 16, 90));
    std::filesystem::resize_file(good, 20);
    EXPECT_EQ(LoadJpg(good.c_str(), nullptr, nullptr), nullptr);
}

TEST(FileExists, TrueOnlyForAReadableFile) {
    const std::string path = TmpPath("exists.txt");
    { std::ofstream(path) << "x"; }
    EXPECT_TRUE(FileExists(path.c_str()));
    EXPECT_FALSE(FileExists(TmpPath("absent.txt").c_str()));
    EXPECT_FALSE(FileExists(nullptr));
}

TEST(DupString, CutsOnlyWhenTheMaximumIsSmaller) {
    struct Case {
        DWORD max;
        const char* want;
    };
    for (const Case& c : {Case{3, "abc"}, Case{0, "abcdef"}, Case{10, "abcdef"}, Case{6, "abcdef"}, Case{1, "a"}}) {
        std::unique_ptr<char[]> s(DupString("abcdef", c.max));
        ASSERT_NE(s, nullptr);
        EXPECT_STREQ(s.get(), c.want) << "max " << c.max;
    }
    std::unique_ptr<char[]> empty(DupString("", 4));
    EXPECT_STREQ(empty.get(), "");
    EXPECT_EQ(DupString(nullptr, 3), nullptr);
}

}  // namespace
