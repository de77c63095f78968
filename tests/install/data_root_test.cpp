// Where the program reads its files from: the current directory when it holds data/, else the
// runnable tree beside the program, else share/velunar/ of its prefix; none of them is a failed
// start-up that names every place tried. A current directory that cannot be written keeps the show.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/data_root.h"
#include "shell.h"

namespace fs = std::filesystem;

namespace {

const std::string kRun = VELUNAR_RUN_DIR;

fs::path Fresh(const std::string& name) {
    const fs::path p = fs::path(VELUNAR_TEST_TMP) / name;
    fs::remove_all(p);
    fs::create_directories(p);
    return p;
}

}  // namespace

TEST(DataRoot, CandidatesAreTheCurrentDirectoryThenBesideTheProgramThenItsShare) {
    EXPECT_EQ(DataRootCandidates("/opt/my games/bin/velunar"),
              (std::vector<std::string>{"", "/opt/my games/bin", "/opt/my games/share/velunar"}));
    EXPECT_EQ(DataRootCandidates("/velunar"), (std::vector<std::string>{"", "/", "/share/velunar"}));
    EXPECT_EQ(DataRootCandidates(""), std::vector<std::string>{""});
}

TEST(DataRoot, OnlyRelativeNamesGoBelowTheRoot) {
    SetDataRoot("");
    EXPECT_EQ(DataPath("data/a.jpg"), "data/a.jpg");
    SetDataRoot("/usr/share/velunar");
    EXPECT_EQ(DataPath("data/a.jpg"), "/usr/share/velunar/data/a.jpg");
    EXPECT_EQ(DataPath("velunar.mp3"), "/usr/share/velunar/velunar.mp3");
    EXPECT_EQ(DataPath("/etc/x.ini"), "/etc/x.ini");
    EXPECT_EQ(DataPath(nullptr), "");
    SetDataRoot("");
}

// Started elsewhere, the program finds the runnable tree beside itself and draws what it draws
// when started among its files.
TEST(DataRoot, FromAnotherDirectoryTheFrameIsTheSame) {
    const fs::path among = Fresh("among");
    fs::create_symlink(kRun + "/data", among / "data");
    fs::create_symlink(kRun + "/velunar.mp3", among / "velunar.mp3");
    const fs::path elsewhere = Fresh("elsewhere");
    const ShellResult a = Shot(VELUNAR_EXE, among, 10, "f.png");
    const ShellResult b = Shot(VELUNAR_EXE, elsewhere, 10, "f.png");
    ASSERT_EQ(a.status, 0) << a.output;
    ASSERT_EQ(b.status, 0) << b.output;
    EXPECT_NE(Slurp(among / "debug.txt").find("from the current directory"), std::string::npos);
    EXPECT_NE(Slurp(elsewhere / "debug.txt").find("from " + kRun + "\n"), std::string::npos);
    const std::string fa = Slurp(among / "f.png"), fb = Slurp(elsewhere / "f.png");
    EXPECT_FALSE(fa.empty());
    EXPECT_TRUE(fa == fb) << "the frames differ";
}

TEST(DataRoot, NoDataAnywhereIsAFailedStartUpThatSaysWhereItLooked) {
    const fs::path bin = Fresh("lonely/bin");
    fs::copy_file(VELUNAR_EXE, bin / "velunar");
    const fs::path cwd = Fresh("empty");
    const ShellResult r = Shot((bin / "velunar").string(), cwd, 10, "f.png");
    EXPECT_EQ(r.status, 1) << r.output;
    for (const fs::path& place : {cwd, bin, bin.parent_path() / "share/velunar"}) {
        EXPECT_NE(r.output.find(place.string()), std::string::npos) << place << " in\n" << r.output;
        EXPECT_NE(Slurp(cwd / "debug.txt").find(place.string()), std::string::npos) << place;
    }
    EXPECT_FALSE(fs::exists(cwd / "f.png"));
}

// /proc takes no new files, even from root: the log goes to the temporary directory.
TEST(DataRoot, AReadOnlyCurrentDirectoryPlaysWithTheLogInTheTemporaryDirectory) {
    const fs::path tmp = Fresh("tmp");
    const ShellResult r = Shot(VELUNAR_EXE, "/proc", 10, (tmp / "f.png").string(), "TMPDIR=" + Q(tmp.string()));
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_TRUE(fs::exists(tmp / "f.png"));
    EXPECT_NE(Slurp(tmp / "debug.txt").find("from " + kRun + "\n"), std::string::npos);
}
