// make package's .deb, built once into this case's own folder: its control data names the
// libraries the program links, its files land where make install puts them under /usr, and
// lintian finds no error in it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "shell.h"

namespace fs = std::filesystem;

TEST(Package, ControlDataFilesAndLintian) {
    const fs::path out = fs::path(VELUNAR_TEST_TMP) / "package";
    const ShellResult built = Shell("cpack --config " + Q(std::string(VELUNAR_BUILD_DIR) + "/CPackConfig.cmake") + " -B " + Q(out.string()));
    ASSERT_EQ(built.status, 0) << built.output;
    std::string arch = Shell("dpkg --print-architecture").output;
    if (!arch.empty() && arch.back() == '\n') arch.pop_back();
    const std::string debFile = (out / ("velunar_" VELUNAR_VERSION "_" + arch + ".deb")).string();
    ASSERT_TRUE(fs::is_regular_file(debFile)) << built.output;

    const ShellResult control = Shell("dpkg-deb -f " + Q(debFile));
    ASSERT_EQ(control.status, 0) << control.output;
    EXPECT_NE(control.output.find("Package: velunar\n"), std::string::npos) << control.output;
    EXPECT_NE(control.output.find("Version: " VELUNAR_VERSION "\n"), std::string::npos) << control.output;
    // shlibdeps: one package per library family the program links.
    for (const char* lib : {"libsdl2-2.0-0", "libepoxy0", "libjpeg62-turbo", "libpng16-16", "libfreetype6",
                            "libfontconfig1", "libmpg123-0", "libopenmpt0", "libfftw3-single3", "libavcodec",
                            "libavformat", "libswscale", "libstdc++6", "libc6"})
        EXPECT_NE(control.output.find(lib), std::string::npos) << lib << " missing from\n" << control.output;

    const ShellResult files = Shell("dpkg-deb -c " + Q(debFile));
    ASSERT_EQ(files.status, 0) << files.output;
    for (const char* path : {"./usr/bin/velunar\n", "./usr/share/velunar/velunar.mp3\n", "./usr/share/velunar/data/logo.png\n",
                             "./usr/share/applications/velunar.desktop\n", "./usr/share/metainfo/org.velunar.velunar.metainfo.xml\n",
                             "./usr/share/man/man6/velunar.6.gz\n", "./usr/share/icons/hicolor/48x48/apps/velunar.png\n",
                             "./usr/share/icons/hicolor/128x128/apps/velunar.png\n",
                             "./usr/share/icons/hicolor/256x256/apps/velunar.png\n", "./usr/share/doc/velunar/copyright\n"})
        EXPECT_NE(files.output.find(path), std::string::npos) << path;
    EXPECT_EQ(files.output.find("/usr/local"), std::string::npos);
    EXPECT_EQ(files.output.find(".assets-stamp"), std::string::npos);

    // Errors fail; warnings and notes are printed for whoever reads the log.
    const ShellResult lint = Shell("lintian --tag-display-limit 0 " + Q(debFile));
    std::printf("%s", lint.output.c_str());
    EXPECT_EQ(lint.status, 0) << lint.output;
    EXPECT_EQ(lint.output.find("\nE: "), std::string::npos) << lint.output;
}
