// The program over a damaged runnable tree: every file under data/ and the music track in turn
// removed, cut to half its size, replaced by random bytes of its size, and emptied. Each variant is
// rendered with --at at a time inside a scene that reads the file; the program must end with status
// 0, and where the file cannot have loaded its name must be in the log. Each kind of damage is two
// cases (alternate files), so CTest runs eight side by side, each in its own folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "support/velunar_run.h"

namespace {

namespace fs = std::filesystem;

enum class Damage { Removed, Halved, Random, Emptied };

// Each file is damaged at a time where what it holds is on screen: inside the scene that draws it,
// inside fx02's layer windows for the layers, with a caption showing for the captions. Times sit
// early in their scene's window so the replay before the frame stays short.
struct Drawn {
    double t;
    std::vector<std::string> files;
};
const Drawn kDrawn[] = {
    {-4.5, {"hlvqll.jpg", "flara1.jpg", "flara3.jpg"}},  // the title; two flares only ever loaded
    {0.4, {"black.jpg", "white.jpg"}},                   // fx01 under both opening fades
    {3.5, {"layerbok.jpg", "stq2.png"}},
    {19.0, {"logo.png"}},
    {28.5, {"layer.ini", "strip1.jpg", "strip2.jpg", "2.obj", "stq1.png", "stq4.png", "velunar.mp3"}},
    {46.0, {"tarnel.png", "tc.jpg"}},
    {48.7, {"flower.obj", "shibumi.jpg"}},
    {64.5, {"5.obj", "8802.jpg", "8802alpha.jpg", "flarainv.jpg", "back3.jpg"}},
    {69.2, {"foil.obj", "news.jpg", "back.jpg", "back2.jpg", "stq3.png", "pas1.jpg", "pas1alpha.jpg"}},
    {88.6, {"geo1.obj", "geo2.obj", "geo3.obj", "napisy.ini"}},
    {105.6, {"1.obj", "fx4.jpg", "stq5.png"}},
    {110.3, {"ring.obj", "under.jpg", "h3.jpg", "qll.jpg", "hlv.jpg", "flara2.jpg", "layerbok.jpg"}},
    {128.2, {"flarabezinv.jpg"}},  // the rising points
    {152.1, {"cre1.png", "cre2.png", "cre3.png", "cre4.png", "pod.jpg", "sys.obj"}},
    {155.5, {"vosk.png"}},
};

// The times a file is damaged at; a file not listed (a scene added since) at a time in every scene.
std::vector<double> TimesFor(const std::string& name) {
    std::vector<double> times, every;
    for (const Drawn& d : kDrawn) {
        every.push_back(d.t);
        if (std::find(d.files.begin(), d.files.end(), name) != d.files.end()) times.push_back(d.t);
    }
    return times.empty() ? every : times;
}

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
    // Renders t with the log kept; the outcome (-1 when the program did not end on its own).
    velunar_test::Outcome RenderAt(double t) {
        fs::remove(work_ / "debug.txt");
        return velunar_test::ShotAt(work_, t, "shot.png", {"-debug"});
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
        const std::vector<double> times = TimesFor(name);
        Spoil(rel, d);
        for (double t : times) {
            const velunar_test::Outcome run = RenderAt(t);
            const int status = run.status;
            ++runs;
            EXPECT_EQ(status, 0) << rel << " at " << t << ":\n" << run.err;
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
