#include "frame_runner.h"

#include <cstdio>

#include <gtest/gtest.h>

#include "support/velunar_run.h"

bool g_keepLog = false;
bool g_silent = false;

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
