// Every window of the show's timetable rendered at its end through `velunar --at`, so each scene
// runs its whole window first. Built with the sanitizers (the asan preset), this is the show under
// ASan and UBSan: any report on the program's error output fails the case.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/scene_schedule.h"
#include "support/velunar_run.h"

namespace {

namespace fs = std::filesystem;

TEST(SceneEnds, EveryWindowRendersToItsLastFrameWithoutAReport) {
    if (!fs::exists(fs::path(velunar_test::RunDir()) / "data")) GTEST_SKIP() << "build the assets target first";
    const std::string work = std::string(VELUNAR_TEST_TMP) + "/work";
    velunar_test::LinkRunTree(work);
    int count = 0;
    const SceneRow* rows = SceneRows(&count);
    ASSERT_GT(count, 0);
    for (int i = 0; i < count; ++i) {
        // The last frame of the window at 60 frames a second (a closed window includes its end).
        const double t = rows[i].closed ? rows[i].hi : rows[i].hi - 1.0 / 60.0;
        const velunar_test::Outcome run = velunar_test::ShotAt(work, t, "end.png", {}, 600);  // long windows under the sanitizers
        const std::string& out = run.err;
        EXPECT_EQ(run.status, 0) << rows[i].name << " at " << t << ":\n" << out;
        for (const char* report : {"runtime error", "AddressSanitizer", "LeakSanitizer"})
            EXPECT_EQ(out.find(report), std::string::npos) << rows[i].name << " at " << t << ":\n" << out;
        EXPECT_TRUE(fs::exists(work + "/end.png")) << rows[i].name << " at " << t;
    }
}

}  // namespace
