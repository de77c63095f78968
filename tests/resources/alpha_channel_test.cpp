// The alpha rules of the texture loaders, on pixels with known means.
#include <gtest/gtest.h>

#include <vector>

#include "resources/alpha_channel.h"

namespace {

TEST(AutoAlpha, DarkPixelsFadeWithTheirMeanAndBrightOnesAreOpaque) {
    struct Case {
        BYTE b, g, r, alpha;
    };
    const Case cases[] = {
        {10, 20, 30, 20},    // mean 20
        {40, 30, 35, 255},   // mean 35
        {32, 32, 34, 32},    // mean 32.67 truncates to 32: still fading
        {33, 33, 33, 255},   // first opaque mean
        {0, 0, 0, 0},        {255, 255, 255, 255},
        {0, 0, 98, 32},      // 32.67 -> 32
        {0, 0, 99, 255},     // 33
    };
    std::vector<BYTE> px;
    for (const Case& c : cases) px.insert(px.end(), {c.b, c.g, c.r, 77});
    velunar::alpha::FromBrightness(px.data(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(px[i * 4 + 3], cases[i].alpha) << "pixel " << i;
        EXPECT_EQ(px[i * 4 + 0], cases[i].b);
        EXPECT_EQ(px[i * 4 + 2], cases[i].r);
    }
}

TEST(MaskAlpha, TakesTheMaskGreyAndKeepsTheColour) {
    std::vector<BYTE> colour = {1, 2, 3, 0, 4, 5, 6, 0};
    const std::vector<BYTE> mask = {200, 200, 200, 0, 9, 9, 9, 0};
    velunar::alpha::FromMask(colour.data(), mask.data(), 2);
    EXPECT_EQ(colour, (std::vector<BYTE>{1, 2, 3, 200, 4, 5, 6, 9}));
}

}  // namespace
