// Frames of the two opening scenes through `velunar --at`. Where a picture would hide what is
// checked, the case gives the program a data folder of its own in which one file is replaced by a
// plain one (a green logo, a white ornament band, a layer file of its choosing) or a music track
// of a single tone, so the spectrum is known.
#include "frame_runner.h"
#include "math/constants.h"
#include "sound/sound_fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

void WritePlainPng(const std::string& name, int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    ASSERT_TRUE(velunar_test::WritePng(Replace(name), Frame(w, h, r, g, b)));
}

void WritePlainJpeg(const std::string& name, int w, int h, std::uint8_t grey) {
    ASSERT_TRUE(velunar_test::WriteJpeg(Replace(name), Frame(w, h, grey, grey, grey), 95));
}

// A track of one sine centred on FFT band `band` (44.1 kHz, 1024-sample windows), loud enough that
// the band reads full scale at any gain above 2.
void WriteToneTrack(int band, double seconds) {
    constexpr int kRate = 44100;
    const double hz = band * kRate / 1024.0;
    const auto stereo = sound_fixtures::Synth(static_cast<int>(seconds * kRate), [&](int frame, int) {
        return 0.5 * std::sin(2 * kPi * hz * frame / kRate);
    });
    ASSERT_TRUE(sound_fixtures::WriteMp3(Replace("velunar.mp3").string(), kRate, stereo));
}

bool Black(const std::uint8_t* p) { return p[0] == 0 && p[1] == 0 && p[2] == 0; }

TEST(OpeningFrames, LogoAndBandArriveAt18301) {
    PrivateData();
    // A plain green logo and a white ornament band are unmistakable over the amber grids.
    WritePlainPng("logo.png", 256, 128, 0, 255, 0);
    WritePlainJpeg("layerbok.jpg", 256, 512, 255);
    auto logo = [](const std::uint8_t* p) { return p[1] >= 190 && p[0] <= 60 && p[2] <= 60; };
    auto band = [](const std::uint8_t* p) { return p[0] >= 185 && p[1] >= 185 && p[2] >= 185; };

    Frame before = RenderAt(17.9);
    ExpectBars(before);
    EXPECT_LT(Share(before, 416, 358, 672, 486, logo), 0.01);
    EXPECT_LT(Share(before, 0, 100, 256, 500, band), 0.5);

    // 1.6 s in: the logo at opacity 0.8 centred on (544, 422), the band at alpha 193 on x < 256.
    Frame after = RenderAt(19.901);
    ExpectBars(after);
    EXPECT_EQ(Share(after, 418, 360, 670, 484, logo), 1.0);
    EXPECT_LT(Share(after, 400, 360, 414, 484, logo), 0.05);
    EXPECT_LT(Share(after, 674, 360, 690, 484, logo), 0.05);
    EXPECT_EQ(Share(after, 0, 100, 255, 500, band), 1.0);
    EXPECT_LT(Share(after, 258, 100, 300, 300, band), 0.5);
}

TEST(OpeningFrames, BarsFollowTheSpectrum) {
    PrivateData();
    WriteToneTrack(20, 12.0);
    Frame f = RenderAt(10.0);
    ExpectBars(f);
    // Band 20 and its neighbours read full scale: the top bars at x = 40 + 128 m hang 150 rows
    // into the band; far from the tone nothing hangs.
    for (int m = 0; m < 6; ++m) {
        const int x = 40 + 128 * m;
        EXPECT_EQ(Share(f, x, 100, x + 2, 245, Black), 1.0) << "top bar " << m;
        EXPECT_LT(Share(f, x + 40, 110, x + 42, 245, Black), 0.5) << "no top bar " << m;
        // Bottom bars show the bands reversed: band 20 rises at x = 2 (63 - 20) + 128 m.
        const int xb = 86 + 128 * m;
        EXPECT_EQ(Share(f, xb, 355, xb + 2, 500, Black), 1.0) << "bottom bar " << m;
        EXPECT_LT(Share(f, xb - 40, 355, xb - 38, 490, Black), 0.5) << "no bottom bar " << m;
    }
    // Right of the six repeats nothing is drawn.
    EXPECT_LT(Share(f, 770, 100, 800, 245, Black), 0.5);
}

TEST(OpeningFrames, LayersStayInTheirRowsAndTimes) {
    PrivateData();
    auto layers = [](const std::string& lines) {
        std::ofstream(Replace("layer.ini")) << "1\ndata/strip1.jpg 5 0 64 128 192 256\n" << lines;
    };
    // One band of strip 0 centred on row 300 from 30 s to 32 s, against none at all.
    layers("30000 32000 0 0 300 9.0 0.8\n");
    Frame with = RenderAt(31.0), later = RenderAt(33.0);
    layers("");
    Frame without = RenderAt(31.0), laterWithout = RenderAt(33.0);
    ASSERT_TRUE(with.ok() && without.ok() && later.ok() && laterWithout.ok());

    // The band only adds light, only in rows 270 ... 330, and somewhere it does.
    int lighter = 0;
    for (int y = 100; y < 500; ++y)
        for (int x = 0; x < 800; ++x)
            for (int c = 0; c < 3; ++c) {
                const int d = with.at(x, y)[c] - without.at(x, y)[c];
                EXPECT_GE(d, 0);
                if (d > 0) {
                    EXPECT_TRUE(y >= 269 && y <= 331) << x << "," << y;
                    ++lighter;
                }
            }
    EXPECT_GT(lighter, 2000);
    // After its end the layer is gone.
    EXPECT_EQ(later.rgb, laterWithout.rgb);
}

TEST(OpeningFrames, OneTimeOneFrame) {
    for (double t : {20.0, 36.0}) {
        Frame a = RenderAt(t), b = RenderAt(t);
        ASSERT_TRUE(a.ok());
        EXPECT_EQ(a.rgb, b.rgb) << t;
    }
}

}  // namespace
