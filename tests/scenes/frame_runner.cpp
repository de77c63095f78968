#include "frame_runner.h"

#include <cstdio>
#include <filesystem>

#include <gtest/gtest.h>

#include "support/velunar_run.h"

bool g_keepLog = false;
namespace {
// Runs without the music track.
bool g_silent = false;
}  // namespace

std::string WorkDir() { return std::string(VELUNAR_TEST_TMP) + "/work"; }

std::string RunLogPath() { return WorkDir() + "/debug.txt"; }

Frame RenderAt(double t, int* status, int scale) {
    // Silent runs use a folder of their own that lacks the track.
    const std::string work = WorkDir() + (g_silent ? "/silent" : "");
    velunar_test::LinkRunTree(work, !g_silent);
    char name[64];
    std::snprintf(name, sizeof name, "frame_%d_%.4f.png", scale, t);
    std::vector<std::string> more{"--scale", std::to_string(scale)};
    if (g_keepLog) more.push_back("-debug");
    const velunar_test::Outcome run = velunar_test::ShotAt(work, t, name, more);
    if (status) *status = run.status;
    if (run.status != 0) return {};
    return ReadPng(work + "/" + name);
}

Frame RenderSilentAt(double t) {
    g_silent = true;
    Frame f = RenderAt(t);
    g_silent = false;
    return f;
}

void ExpectBars(const Frame& f) {
    ASSERT_TRUE(f.ok());
    EXPECT_EQ(f.Max(0, 0, 800, 100), 0);
    EXPECT_EQ(f.Max(0, 500, 800, 600), 0);
}

void ExpectSameFrameTwice(double t) {
    const Frame a = RenderAt(t);
    const Frame b = RenderAt(t);
    ASSERT_TRUE(a.ok()) << t;
    EXPECT_EQ(a.rgb, b.rgb) << t;
}

void PrivateData() {
    namespace fs = std::filesystem;
    const fs::path work = WorkDir(), data = work / "data";
    fs::create_directories(work);
    std::error_code ec;
    fs::remove(data, ec);  // a link left by an earlier run of this case
    fs::remove_all(data, ec);
    fs::create_directories(data);
    for (const auto& e : fs::directory_iterator(fs::path(VELUNAR_RUN_DIR) / "data"))
        fs::create_symlink(e.path(), data / e.path().filename());
}

std::filesystem::path Replace(const std::string& name) {
    const std::filesystem::path work = WorkDir();
    const std::filesystem::path p = name == "velunar.mp3" ? work / name : work / "data" / name;
    std::error_code ec;
    std::filesystem::remove(p, ec);
    return p;
}
