// The show's picture pinned: frames across every scene, rendered with `velunar --at`, compared
// with the reference PNGs in reference/ (the band between the bars only). A frame passes where no
// more than 0.1% of the band's pixels have a channel more than 2 levels off: room for another
// Mesa's rounding, none for a changed constant. A failure leaves the actual band and a difference
// image in the case's folder.
//
// With VELUNAR_FRAMES_UPDATE set (`make frames`) every case renders its frame anew, writes it over
// the reference where any pixel differs, and says which changed and by how much.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>

#include "core/screen_layout.h"
#include "support/image.h"
#include "support/velunar_run.h"

namespace {

namespace fs = std::filesystem;
using velunar_test::Image;

struct Shot {
    const char* scene;
    double t;
    int scale = 1;
};

// Three or more a scene: the fades at the scene changes, the intro title, the fx01 logo arriving,
// fx02's layers in their windows, the fx09 flashes, fx03's captions, fx08's rising points, fx06's
// credits and closing band and fade; three at twice the size.
const Shot kShots[] = {
    {"intro", -4.5},  {"intro", -2.0},  {"intro", -0.3},
    {"fx01", 0.4},    {"fx01", 18.7},   {"fx01", 27.3},
    {"fx02", 28.0},   {"fx02", 40.0},   {"fx02", 45.85},
    {"fx09", 45.94},  {"fx09", 46.5},   {"fx09", 47.85},
    {"fx10", 48.15}, {"fx10", 60.0},   {"fx10", 63.85},
    {"fx07", 64.2},   {"fx07", 66.3},   {"fx07", 68.4},
    {"fx04", 68.7},   {"fx04", 77.5},   {"fx04", 86.7},
    {"fx03", 87.3},   {"fx03", 88.6},   {"fx03", 104.95},
    {"fx05", 105.25}, {"fx05", 107.5},  {"fx05", 109.6},
    {"fx08", 110.0},  {"fx08", 128.6},  {"fx08", 146.1},
    {"fx06", 147.0},  {"fx06", 151.48},  {"fx06", 157.5},  {"fx06", 163.0},  {"fx06", 166.5},  {"fx06", 170.0},
    {"intro", -2.0, 2}, {"fx03", 88.6, 2}, {"fx06", 166.5, 2},
};

constexpr int kTolerance = 2;         // channel levels
constexpr double kAllowed = 0.001;    // share of the band's pixels

std::string FileName(const Shot& s) {
    char name[64];
    std::snprintf(name, sizeof name, "%s_t%07.3f%s.png", s.scene, s.t, s.scale == 2 ? "_x2" : "");
    return name;
}

void PrintTo(const Shot& s, std::ostream* os) { *os << FileName(s); }

struct Difference {
    long over = 0;  // pixels with a channel more than kTolerance off
    int max = 0;    // the largest channel difference
    bool same = true;
};

Difference Compare(const Image& a, const Image& b, Image* picture = nullptr) {
    Difference d;
    if (picture) *picture = Image(a.width, a.height);
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const std::uint8_t* p = a.at(x, y);
            const std::uint8_t* q = b.at(x, y);
            int m = 0;
            for (int c = 0; c < 3; ++c) m = std::max(m, std::abs(int(p[c]) - int(q[c])));
            d.max = std::max(d.max, m);
            if (m > 0) d.same = false;
            if (m > kTolerance) ++d.over;
            // Over tolerance in red; smaller differences as grey, amplified.
            if (picture) {
                std::uint8_t* o = picture->at(x, y);
                if (m > kTolerance) {
                    o[0] = 255;
                } else {
                    o[0] = o[1] = o[2] = static_cast<std::uint8_t>(m * 60);
                }
            }
        }
    return d;
}

class ReferenceFrames : public ::testing::TestWithParam<Shot> {};

TEST_P(ReferenceFrames, MatchesItsReference) {
    const Shot& s = GetParam();
    if (!fs::exists(fs::path(velunar_test::RunDir()) / "data")) GTEST_SKIP() << "build the assets target first";
    const std::string work = std::string(VELUNAR_TEST_TMP) + "/work";
    velunar_test::LinkRunTree(work);
    const velunar_test::Outcome run = velunar_test::ShotAt(work, s.t, "shot.png", {"--scale", std::to_string(s.scale)});
    ASSERT_EQ(run.status, 0) << run.err;
    const Image frame = velunar_test::ReadPng(work + "/shot.png");
    ASSERT_EQ(frame.width, kScreenWidth * s.scale);
    ASSERT_EQ(frame.height, kScreenHeight * s.scale);
    const Image band = frame.Rows(kBandTop * s.scale, kBandBottom * s.scale);

    const std::string reference = std::string(VELUNAR_FRAMES_DIR) + "/" + FileName(s);
    const Image expected = velunar_test::ReadPng(reference);
    const bool fits = expected.width == band.width && expected.height == band.height;
    if (std::getenv("VELUNAR_FRAMES_UPDATE")) {
        const Difference d = fits ? Compare(band, expected) : Difference{0, 0, false};
        if (!d.same) {
            ASSERT_TRUE(velunar_test::WritePng(reference, band, true)) << reference;
        }
        std::printf("%-24s %s", FileName(s).c_str(), !fits ? "new\n" : d.same ? "unchanged\n" : "changed: ");
        if (fits && !d.same) std::printf("%ld pixels over tolerance, max channel difference %d\n", d.over, d.max);
        return;
    }
    ASSERT_TRUE(fits) << "no reference of this size: " << reference << " (make frames writes it)";
    Image picture;
    const Difference d = Compare(band, expected, &picture);
    const long allowed = static_cast<long>(kAllowed * band.width * band.height);
    if (d.over > allowed) {
        const std::string actual = std::string(VELUNAR_TEST_TMP) + "/actual_" + FileName(s);
        const std::string diff = std::string(VELUNAR_TEST_TMP) + "/difference_" + FileName(s);
        velunar_test::WritePng(actual, band);
        velunar_test::WritePng(diff, picture);
        ADD_FAILURE() << FileName(s) << ": " << d.over << " pixels over tolerance (" << allowed
                      << " allowed), max channel difference " << d.max << "\n  actual:     " << actual
                      << "\n  difference: " << diff << "\n  reference:  " << reference;
    }
}

std::string ShotName(const ::testing::TestParamInfo<Shot>& info) {
    std::string name = FileName(info.param);
    name.resize(name.size() - 4);
    for (char& c : name) {
        if (c == '.') c = '_';
        if (c == '-') c = 'm';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Show, ReferenceFrames, ::testing::ValuesIn(kShots), ShotName);

}  // namespace
