// The random sequence the real start-up draws, init by init in order: how many numbers each init
// draws, which functions draw them in what order, and a digest of the values. A stray, missing,
// reseeded or reordered draw moves every scene that follows, so each fails here by name.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/demo.h"
#include "core/crt_rand.h"
#include "core/globals.h"
#include "core/logger.h"
#include "platform/window/offscreen_window.h"
#include "test_dir.h"

namespace crt = velunar::crt;

namespace {

namespace fs = std::filesystem;

struct InitDraws {
    std::string init;
    int count = 0;
    // FNV-1a over each value's four bytes (low byte first) and the name of the function that drew it.
    std::uint32_t digest = 2166136261u;
    // How many each function drew, in the order they first drew.
    std::vector<std::pair<std::string, int>> callers;

    void Add(int value, const std::string& caller) {
        ++count;
        auto mix = [&](std::uint8_t byte) { digest = (digest ^ byte) * 16777619u; };
        for (int i = 0; i < 4; ++i) mix(static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i)));
        for (char c : caller) mix(static_cast<std::uint8_t>(c));
        for (auto& [name, n] : callers)
            if (name == caller) {
                ++n;
                return;
            }
        callers.emplace_back(caller, 1);
    }
    std::string Callers() const {
        std::string text;
        for (const auto& [name, n] : callers) text += (text.empty() ? "" : ", ") + name + " " + std::to_string(n);
        return text;
    }
};

std::vector<InitDraws> g_inits;

void Observe(int value, const char* caller) { g_inits.back().Add(value, caller); }

void SceneInitBegins(const char* name) { g_inits.emplace_back().init = name ? name : "after the scene inits"; }

struct Expected {
    const char* init;
    int count;
    std::uint32_t digest;
    const char* callers;
};

// Written by the failure message below after an intended change, with the reason in the commit.
const Expected kExpected[] = {
    {"before the scene inits", 0, 0x811c9dc5u, ""},
    {"InitIntro", 0, 0x811c9dc5u, ""},
    {"InitFx01", 0, 0x811c9dc5u, ""},
    {"InitFx02", 0, 0x811c9dc5u, ""},
    {"InitFx03", 36, 0x5a380229u, "PlaceAtRandom 24, Captions 12"},
    {"InitFx04", 840, 0x0b7bdea3u, "DiscardRandomPoints 300, CPaski 540"},
    {"InitFx05", 840, 0x7e520cdfu, "DiscardRandomPoints 300, CPaski 540"},
    {"InitFx06", 0, 0x811c9dc5u, ""},
    {"InitFx07", 900, 0x1d18e4dau, "InitDriftFlares 900"},
    {"InitFx08", 3200, 0x981c8ab9u, "InitRisingPoints 3200"},
    {"InitFx09", 0, 0x811c9dc5u, ""},
    {"InitFx10", 0, 0x811c9dc5u, ""},
    {"after the scene inits", 0, 0x811c9dc5u, ""},
};

TEST(StartUpRandom, EachSceneInitDrawsItsOwnShareOfTheFixedSequence) {
    const fs::path run = VELUNAR_RUN_DIR;
    if (!fs::exists(run / "data")) GTEST_SKIP() << "build the assets target first: " << run;
    ScratchDir dir("startup");
    fs::create_directory_symlink(run / "data", "data");
    fs::create_symlink(run / "velunar.mp3", "velunar.mp3");
    g_pLogger = new CLogger("debug.txt", 20);
    g_bFullScreen = 0;
    g_hWnd = velunar::window::CreateOffscreenWindow(800, 600);
    ASSERT_NE(g_hWnd, nullptr);

    crt::srand(1);  // the state a fresh process starts with
    g_inits.emplace_back().init = "before the scene inits";
    crt::SetRandObserver(Observe);
    g_pfnSceneInit = SceneInitBegins;
    ASSERT_TRUE(InitDemo()) << ReadFile("debug.txt");
    crt::SetRandObserver(nullptr);
    g_pfnSceneInit = nullptr;

    std::string table;
    for (const InitDraws& d : g_inits) {
        char digest[16];
        std::snprintf(digest, sizeof digest, "0x%08xu", d.digest);
        table += "    {\"" + d.init + "\", " + std::to_string(d.count) + ", " + digest + ", \"" + d.Callers() + "\"},\n";
    }
    const size_t expected = sizeof kExpected / sizeof kExpected[0];
    ASSERT_EQ(g_inits.size(), expected) << "the start-up now draws:\n" << table;
    for (size_t i = 0; i < expected; ++i) {
        const InitDraws& d = g_inits[i];
        const Expected& e = kExpected[i];
        SCOPED_TRACE(e.init);
        EXPECT_EQ(d.init, e.init);
        EXPECT_EQ(d.count, e.count);
        EXPECT_EQ(d.Callers(), e.callers);
        EXPECT_EQ(d.digest, e.digest);
    }
    if (HasFailure()) ADD_FAILURE() << "the start-up now draws:\n" << table;
}

}  // namespace
