// The program over a damaged runnable tree: every file under data/ and the music track in turn
// removed, cut to half its size, replaced by random bytes of its size, and emptied. Each variant is
// rendered with --at at a time inside a scene that reads the file; the program must end with status
// 0, and where the file cannot have loaded its name must be in the log. Each kind of damage is two
// cases (alternate files), so CTest runs eight side by side, each in its own folder.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

enum class Damage { Removed, Halved, Random, Emptied };

// Demo times inside the scenes that read each file, just after each scene's window opens so the
// replay before the frame stays short. Files read at start-up for every scene use the first scene.
const std::map<std::string, std::vector<double>> kSceneTimes = {
    {"hlvqll.jpg", {-4.9}}, {"qll.jpg", {-4.9, 109.8}}, {"layerbok.jpg", {3.5}},  {"layer.ini", {3.5}},
    {"strip1.jpg", {3.5}},  {"strip2.jpg", {3.5}},      {"2.obj", {27.5}},        {"tarnel.png", {46}},
    {"tc.jpg", {46}},       {"flower.obj", {48.1}},     {"shibumi.jpg", {48.1}},  {"5.obj", {64.1}},
    {"8802.jpg", {64.1}},   {"8802alpha.jpg", {64.1}},  {"flarainv.jpg", {64.1}}, {"foil.obj", {68.7}},
    {"news.jpg", {68.7}},   {"geo1.obj", {87}},         {"geo2.obj", {87}},       {"geo3.obj", {87}},
    {"napisy.ini", {87}},   {"1.obj", {87, 105.2}},     {"fx4.jpg", {105.2}},     {"flarabezinv.jpg", {109.8}},
    {"h3.jpg", {109.8}},    {"hlv.jpg", {109.8}},       {"ring.obj", {109.8}},    {"under.jpg", {109.8}},
    {"cre1.png", {146.4}},  {"cre2.png", {146.4}},      {"cre3.png", {146.4}},    {"cre4.png", {146.4}},
    {"pod.jpg", {146.4}},   {"sys.obj", {146.4}},       {"vosk.png", {146.4}},    {"velunar.mp3", {27.5}},
    {"back.jpg", {3.5}},    {"back2.jpg", {3.5}},       {"back3.jpg", {3.5}},     {"black.jpg", {3.5}},
    {"white.jpg", {3.5}},   {"logo.png", {3.5}},        {"flara1.jpg", {3.5}},    {"flara2.jpg", {3.5}},
    {"flara3.jpg", {3.5}},  {"pas1.jpg", {3.5}},        {"pas1alpha.jpg", {3.5}}, {"stq1.png", {3.5}},
    {"stq2.png", {3.5}},    {"stq3.png", {3.5}},        {"stq4.png", {3.5}},      {"stq5.png", {3.5}},
};
// A file not in the table (a scene added since) is tried at a time in every scene.
const std::vector<double> kEveryScene = {-4.9, 3.5, 27.5, 46, 48.1, 64.1, 68.7, 87, 105.2, 109.8, 146.4};

std::vector<char> ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadText(const fs::path& p) {
    const std::vector<char> b = ReadAll(p);
    return {b.begin(), b.end()};
}

// The files to damage, as paths relative to the runnable tree.
std::vector<std::string> Victims() {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(fs::path(VELUNAR_RUN_DIR) / "data"))
        if (e.is_regular_file() && e.path().filename().string()[0] != '.')
            out.push_back("data/" + e.path().filename().string());
    std::sort(out.begin(), out.end());
    out.push_back("velunar.mp3");
    return out;
}

// Whether the log shows that `rel` did not load: a line naming it that is not a success line.
bool LogShowsFailure(const std::string& log, const std::string& rel) {
    std::size_t at = 0;
    while ((at = log.find(rel, at)) != std::string::npos) {
        const std::size_t begin = log.rfind('\n', at) + 1;
        const std::string line = log.substr(begin, log.find('\n', at) - begin);
        if (line.find("Successfully") == std::string::npos && line.find(": Loaded ") == std::string::npos) return true;
        at += rel.size();
    }
    return false;
}

// A kind of damage and the half of the files it goes over.
struct Variant {
    Damage damage;
    int half;
};

void PrintTo(const Variant& v, std::ostream* os) { *os << static_cast<int>(v.damage) << "/" << v.half; }

class DamagedData : public ::testing::TestWithParam<Variant> {
protected:
    void SetUp() override {
        run_ = VELUNAR_RUN_DIR;
        if (!fs::exists(run_ / "data") || !fs::exists(run_ / "velunar.mp3"))
            GTEST_SKIP() << "build the assets target first: " << run_;
        work_ = fs::path(VELUNAR_TEST_TMP) / "work";
        fs::remove_all(work_);
        fs::create_directories(work_ / "data");
        for (const std::string& rel : Victims()) Restore(rel);
    }
    void Restore(const std::string& rel) {
        fs::remove(work_ / rel);
        fs::create_symlink(run_ / rel, work_ / rel);
    }
    void Spoil(const std::string& rel, Damage d) {
        const std::vector<char> good = ReadAll(run_ / rel);
        fs::remove(work_ / rel);
        if (d == Damage::Removed) return;
        std::vector<char> bad;
        if (d == Damage::Halved) bad.assign(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
        if (d == Damage::Random) {
            std::mt19937 rng(static_cast<unsigned>(std::hash<std::string>{}(rel)));
            bad.resize(good.size());
            for (char& c : bad) c = static_cast<char>(rng());
        }
        std::ofstream(work_ / rel, std::ios::binary).write(bad.data(), static_cast<std::streamsize>(bad.size()));
    }
    // Runs the program at t; returns its exit status (-1 when it did not exit on its own).
    int RenderAt(double t) {
        fs::remove(work_ / "debug.txt");
        char cmd[2048];
        std::snprintf(cmd, sizeof cmd,
                      "cd '%s' && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "
                      "timeout 120 '%s' --at %.3f "
                      "--shot shot.png -debug > out.txt 2>&1",
                      work_.c_str(), VELUNAR_EXE, t);
        const int rc = std::system(cmd);
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    }
    fs::path run_, work_;
};

TEST_P(DamagedData, EveryFileInTurnEndsWithStatusZeroAndTheFailureLogged) {
    const Damage d = GetParam().damage;
    int runs = 0;
    const std::vector<std::string> victims = Victims();
    for (std::size_t i = static_cast<std::size_t>(GetParam().half); i < victims.size(); i += 2) {
        const std::string& rel = victims[i];
        const std::string name = fs::path(rel).filename().string();
        const auto listed = kSceneTimes.find(name);
        const std::vector<double>& times = listed != kSceneTimes.end() ? listed->second : kEveryScene;
        Spoil(rel, d);
        for (double t : times) {
            const int status = RenderAt(t);
            ++runs;
            EXPECT_EQ(status, 0) << rel << " at " << t << ":\n" << ReadText(work_ / "out.txt");
            // The track's loader fails silently, and text or a JPEG cut short may still load.
            const std::string ext = fs::path(rel).extension().string();
            const bool mustFail =
                rel != "velunar.mp3" && (d == Damage::Removed || (d != Damage::Halved && ext != ".ini"));
            if (mustFail && status == 0) {
                EXPECT_TRUE(LogShowsFailure(ReadText(work_ / "debug.txt"), rel)) << rel << " at " << t;
            }
        }
        Restore(rel);
    }
    EXPECT_GT(runs, 20);
}

std::string VariantName(const ::testing::TestParamInfo<Variant>& info) {
    static const char* const kNames[] = {"Removed", "Halved", "Random", "Emptied"};
    return kNames[static_cast<int>(info.param.damage)] + std::to_string(info.param.half);
}

std::vector<Variant> AllVariants() {
    std::vector<Variant> out;
    for (Damage d : {Damage::Removed, Damage::Halved, Damage::Random, Damage::Emptied})
        for (int half : {0, 1}) out.push_back({d, half});
    return out;
}

INSTANTIATE_TEST_SUITE_P(Kinds, DamagedData, ::testing::ValuesIn(AllVariants()), VariantName);

}  // namespace
