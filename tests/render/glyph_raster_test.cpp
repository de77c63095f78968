// The glyph rasteriser: face resolution with its fallback, GDI-like cell metrics, drawing.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/gdi/glyph_raster.h"

using velunar::gdi::CoverageBitmap;
using velunar::gdi::GlyphFace;

TEST(GlyphFace, MissingFaceFallsBackToDejaVuSansMonoBold) {
    auto face = GlyphFace::Open("Lucida Console", 43, true, false);
    ASSERT_NE(face, nullptr);
    EXPECT_NE(face->FilePath().find("DejaVuSansMono-Bold"), std::string::npos) << face->FilePath();
    EXPECT_TRUE(face->IsFallback());
    EXPECT_EQ(GlyphFace::Open("Lucida Console", 0, true, false), nullptr);
}

TEST(GlyphFace, CellsAreMonospacedAndTallerThanTheEm) {
    auto face = GlyphFace::Open("Lucida Console", 43, true, false);
    ASSERT_NE(face, nullptr);
    const auto a = face->Measure("W", 1);
    const auto b = face->Measure("i", 1);
    const auto two = face->Measure("Wi", 2);
    EXPECT_EQ(a.cx, b.cx);
    EXPECT_EQ(two.cx, a.cx + b.cx);
    EXPECT_GT(a.cx, 0);
    // A cell holds ascent and descent, more than the em height asked for.
    EXPECT_EQ(a.cy, face->Ascent() + face->Descent());
    EXPECT_GE(a.cy, 43);
    EXPECT_LT(a.cy, 60);
    EXPECT_EQ(face->Measure("", 0).cx, 0);
}

TEST(GlyphFace, DrawPutsInkInsideTheCellAndSpacesLeaveNone) {
    auto face = GlyphFace::Open("Lucida Console", 20, true, false);
    ASSERT_NE(face, nullptr);
    CoverageBitmap bm(64, 64);
    const auto cell = face->Measure("H", 1);
    face->Draw("H", 1, 10, 5, bm);
    int inside = 0, outside = 0, full = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const bool in = x >= 10 && x < 10 + cell.cx && y >= 5 && y < 5 + cell.cy;
            if (bm.At(x, y)) (in ? inside : outside)++;
            if (bm.At(x, y) == 255) ++full;
        }
    }
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);
    EXPECT_GT(full, 0);

    // Past the edges is clipped.
    face->Draw("MMMM", 4, -5, -7, bm);
    face->Draw("MMMM", 4, 60, 60, bm);

    CoverageBitmap blank(64, 64);
    face->Draw(" ", 1, 0, 0, blank);
    for (int i = 0; i < 64 * 64; ++i) ASSERT_EQ(blank.pixels[i], 0);
}
