// make install's tree: installed under a prefix with a space, into a DESTDIR, each case in a tree
// of its own. The installed program started elsewhere draws the runnable tree's frame; the menu
// entry and AppStream data validate; the manual page renders and names every option --help lists.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>

#include "shell.h"

namespace fs = std::filesystem;

namespace {

class Installed : public ::testing::Test {
protected:
    void SetUp() override {
        dest_ = fs::path(VELUNAR_TEST_TMP) / "dest";
        fs::remove_all(dest_);
        const ShellResult r =
            Shell("DESTDIR=" + Q(dest_.string()) + " cmake --install " + Q(VELUNAR_BUILD_DIR) + " --prefix " + Q(kPrefix));
        ASSERT_EQ(r.status, 0) << r.output;
        root_ = dest_.string() + kPrefix;
    }
    std::string At(const std::string& rel) const { return root_ + "/" + rel; }

    static constexpr const char* kPrefix = "/opt/velunar show";
    fs::path dest_;
    std::string root_;
};

}  // namespace

TEST_F(Installed, EveryFileLandsInItsPlace) {
    for (const char* rel : {"bin/velunar", "share/velunar/velunar.mp3", "share/velunar/data/layer.ini",
                            "share/velunar/data/logo.png", "share/applications/velunar.desktop",
                            "share/metainfo/org.velunar.velunar.metainfo.xml", "share/man/man6/velunar.6.gz",
                            "share/icons/hicolor/48x48/apps/velunar.png", "share/icons/hicolor/128x128/apps/velunar.png",
                            "share/icons/hicolor/256x256/apps/velunar.png"})
        EXPECT_TRUE(fs::is_regular_file(At(rel))) << rel;
    EXPECT_FALSE(fs::exists(At("share/velunar/data/.assets-stamp")));
    // Each icon is a PNG of the size its folder names: width and height in the IHDR chunk.
    for (int size : {48, 128, 256}) {
        const std::string png = Slurp(At("share/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size) +
                                         "/apps/velunar.png"));
        ASSERT_GT(png.size(), 24u);
        EXPECT_EQ(png.substr(1, 3), "PNG");
        const auto be32 = [&](std::size_t at) {
            return (unsigned(static_cast<unsigned char>(png[at])) << 24) | (unsigned(static_cast<unsigned char>(png[at + 1])) << 16) |
                   (unsigned(static_cast<unsigned char>(png[at + 2])) << 8) | unsigned(static_cast<unsigned char>(png[at + 3]));
        };
        EXPECT_EQ(be32(16), unsigned(size));
        EXPECT_EQ(be32(20), unsigned(size));
    }
}

TEST_F(Installed, StartedElsewhereItDrawsTheRunnableTreesFrame) {
    const fs::path among = fs::path(VELUNAR_TEST_TMP) / "among", elsewhere = fs::path(VELUNAR_TEST_TMP) / "elsewhere";
    fs::create_directories(among);
    fs::create_directories(elsewhere);
    fs::create_symlink(std::string(VELUNAR_RUN_DIR) + "/data", among / "data");
    fs::create_symlink(std::string(VELUNAR_RUN_DIR) + "/velunar.mp3", among / "velunar.mp3");
    const ShellResult a = Shot(VELUNAR_EXE, among, 10, "f.png");
    const ShellResult b = Shot(At("bin/velunar"), elsewhere, 10, "f.png");
    ASSERT_EQ(a.status, 0) << a.output;
    ASSERT_EQ(b.status, 0) << b.output;
    EXPECT_NE(Slurp(elsewhere / "debug.txt").find("from " + At("share/velunar") + "\n"), std::string::npos)
        << Slurp(elsewhere / "debug.txt");
    const std::string fa = Slurp(among / "f.png");
    EXPECT_FALSE(fa.empty());
    EXPECT_TRUE(fa == Slurp(elsewhere / "f.png")) << "the installed program drew another frame";
}

TEST_F(Installed, MenuEntryAndAppStreamDataValidate) {
    const ShellResult desktop = Shell("desktop-file-validate " + Q(At("share/applications/velunar.desktop")));
    EXPECT_EQ(desktop.status, 0) << desktop.output;
    EXPECT_EQ(desktop.output.find("error"), std::string::npos) << desktop.output;
    const ShellResult meta = Shell("appstreamcli validate --no-net " + Q(At("share/metainfo/org.velunar.velunar.metainfo.xml")));
    EXPECT_EQ(meta.status, 0) << meta.output;
    const std::string xml = Slurp(At("share/metainfo/org.velunar.velunar.metainfo.xml"));
    EXPECT_NE(xml.find("<release version=\"" VELUNAR_VERSION "\""), std::string::npos);
    EXPECT_NE(xml.find("<screenshot"), std::string::npos);
}

// Every option --help lists is in the manual; groff renders it without a warning.
TEST_F(Installed, ManualPageRendersWithEveryOption) {
    const ShellResult man = Shell("zcat " + Q(At("share/man/man6/velunar.6.gz")) +
                                  " | groff -man -Tascii -P-bou -ww -rHY=0 -rLL=200n 2>groff.err; cat groff.err >&2");
    ASSERT_EQ(man.status, 0) << man.output;
    const std::string text = man.output;
    EXPECT_EQ(Slurp(std::string(VELUNAR_TEST_TMP) + "/groff.err"), "");
    for (const char* heading : {"SYNOPSIS", "OPTIONS", "KEYS", "FILES", "Escape", "F11", "debug.txt", "TMPDIR",
                                "shot00000.bmp", "share/velunar", "velunar " VELUNAR_VERSION})
        EXPECT_NE(text.find(heading), std::string::npos) << heading;
    const ShellResult help = Shell(Q(VELUNAR_EXE) + " --help");
    ASSERT_EQ(help.status, 0);
    const std::regex option(R"((^|[\s\[|])(--?[a-z]+))");
    std::set<std::string> options;
    for (auto it = std::sregex_iterator(help.output.begin(), help.output.end(), option); it != std::sregex_iterator(); ++it)
        options.insert((*it)[2]);
    EXPECT_GT(options.size(), 10u);
    for (const std::string& o : options) EXPECT_NE(text.find(o), std::string::npos) << o << " is not in the manual";
}
