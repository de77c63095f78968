// Every window of the show's timetable rendered at its end through `velunar --at`, so each scene
// runs its whole window first. Built with the sanitizers (the asan preset), this is the show under
// ASan and UBSan: any report on the program's error output fails the case.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/scene_schedule.h"

namespace {

namespace fs = std::filesystem;

TEST(SceneEnds, EveryWindowRendersToItsLastFrameWithoutAReport) {
    const fs::path run = VELUNAR_RUN_DIR;
    if (!fs::exists(run / "data")) GTEST_SKIP() << "build the assets target first: " << run;
    const fs::path work = fs::path(VELUNAR_TEST_TMP) / "work";
    fs::create_directories(work);
    fs::create_directory_symlink(run / "data", work / "data");
    fs::create_symlink(run / "velunar.mp3", work / "velunar.mp3");
    int count = 0;
    const SceneRow* rows = SceneRows(&count);
    ASSERT_GT(count, 0);
    for (int i = 0; i < count; ++i) {
        // The last frame of the window at 60 frames a second (a closed window includes its end).
        const double t = rows[i].closed ? rows[i].hi : rows[i].hi - 1.0 / 60.0;
        char cmd[2048];
        std::snprintf(cmd, sizeof cmd,
                      "cd '%s' && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "
                      "'%s' --at %.4f --shot end.png "
                      "> out.txt 2>&1",
                      work.c_str(), VELUNAR_EXE, t);
        const int rc = std::system(cmd);
        std::ifstream in(work / "out.txt");
        const std::string out((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0) << rows[i].name << " at " << t << ":\n" << out;
        for (const char* report : {"runtime error", "AddressSanitizer", "LeakSanitizer"})
            EXPECT_EQ(out.find(report), std::string::npos) << rows[i].name << " at " << t << ":\n" << out;
        EXPECT_TRUE(fs::exists(work / "end.png")) << rows[i].name << " at " << t;
        fs::remove(work / "end.png");
    }
}

}  // namespace
