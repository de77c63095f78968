// The stripes: their random layout, how they move and wrap, and how they reach the screen.
#include "core/crt_rand.h"
#include "fx/stripes.h"
#include "render/render_fixture.h"

#include <vector>

namespace crt = velunar::crt;

namespace {

// The start of the fixed sequence every run draws.
std::vector<int> Sequence(int n) {
    crt::srand(1);
    std::vector<int> out;
    for (int i = 0; i < n; ++i) out.push_back(crt::rand());
    crt::srand(1);
    return out;
}

// The first stripe of a fresh 90-stripe set moving the given way.
const CPaski::Stripe* FirstWithDirection(const CPaski& p, float direction) {
    for (unsigned i = 0; i < p.Count(); ++i)
        if (p.Stripes()[i].direction == direction) return &p.Stripes()[i];
    return nullptr;
}

TEST(Stripes, SixDrawsPerStripeInOrderTheFifthUnused) {
    const std::vector<int> r = Sequence(25);
    CPaski p(4);
    for (int i = 0; i < 4; ++i) {
        const CPaski::Stripe& s = p.Stripes()[i];
        const int* d = &r[static_cast<size_t>(i) * 6];
        EXPECT_EQ(s.x, static_cast<float>(d[0] % 800));
        EXPECT_EQ(s.y, static_cast<float>(d[1] % 400 + 100));
        EXPECT_EQ(s.width, static_cast<float>((d[2] % 5) * 2 + 5));
        EXPECT_FLOAT_EQ(s.speed, static_cast<float>((d[3] % 900) / 900.0 + 0.2));
        EXPECT_EQ(s.direction, static_cast<float>(d[5] % 3 - 1));
        EXPECT_EQ(s.colour, 0u);
    }
    EXPECT_EQ(crt::rand(), r[24]);
}

TEST(Stripes, FirstUpdateDrawsEveryStripeAtItsBase) {
    crt::srand(1);
    CPaski p(90);
    p.Update(70.25f);
    EXPECT_EQ(p.StartTime(), 70.25f);
    for (unsigned i = 0; i < p.Count(); ++i) {
        EXPECT_EQ(p.Stripes()[i].drawX, p.Stripes()[i].x);
        EXPECT_EQ(p.Stripes()[i].drawY, p.Stripes()[i].y);
    }
}

TEST(Stripes, DirectionsMoveAndWrapForTheNextFrameOnly) {
    crt::srand(1);
    CPaski p(90);
    const CPaski::Stripe* left = FirstWithDirection(p, 1.0f);
    const CPaski::Stripe* right = FirstWithDirection(p, -1.0f);
    const CPaski::Stripe* still = FirstWithDirection(p, 0.0f);
    ASSERT_TRUE(left && right && still);
    const float t0 = 10.0f;
    p.Update(t0);

    // Direction 0 moves right like -1: 1400 pixels a second at relative speed 1.
    p.Update(t0 + 0.01f);
    EXPECT_NEAR(still->drawX, still->x + 14.0f * still->speed, 0.01f);
    EXPECT_NEAR(right->drawX, right->x + 14.0f * right->speed, 0.01f);
    EXPECT_NEAR(left->drawX, left->x - 14.0f * left->speed, 0.01f);

    // Past 1200 the right-mover is drawn there once, then 2200 pixels further left.
    const float rightBase = right->x;
    const float tRight = t0 + (1200.0f - rightBase) / (1400.0f * right->speed) + 0.005f;
    p.Update(tRight);
    const float beyond = right->drawX;
    EXPECT_GT(beyond, 1200.0f);
    EXPECT_EQ(right->x, rightBase - 2200.0f);
    p.Update(tRight);
    EXPECT_NEAR(right->drawX, beyond - 2200.0f, 0.01f);

    // Past -400 the left-mover comes back 1100 pixels to the right.
    crt::srand(1);
    CPaski q(90);
    const CPaski::Stripe* l = FirstWithDirection(q, 1.0f);
    const float leftBase = l->x;
    q.Update(t0);
    const float tLeft = t0 + (leftBase + 400.0f) / (1400.0f * l->speed) + 0.005f;
    q.Update(tLeft);
    const float before = l->drawX;
    EXPECT_LT(before, -400.0f);
    EXPECT_EQ(l->x, leftBase + 1100.0f);
    q.Update(tLeft);
    EXPECT_NEAR(l->drawX, before + 1100.0f, 0.01f);
}

TEST(Stripes, ColourReachesTheStripesOnTheNextUpdate) {
    crt::srand(1);
    CPaski p(3);
    p.colour = 0x80FFFFFFu;
    p.Update(1.0f);
    p.colour = 0x10FFFFFFu;
    for (unsigned i = 0; i < p.Count(); ++i) EXPECT_EQ(p.Stripes()[i].colour, 0x80FFFFFFu);
    p.Update(1.5f);
    for (unsigned i = 0; i < p.Count(); ++i) EXPECT_EQ(p.Stripes()[i].colour, 0x10FFFFFFu);
}

class StripesDrawTest : public RenderTest {};

TEST_F(StripesDrawTest, MissingTextureIsLogged) {
    crt::srand(1);
    CPaski p(1);
    EXPECT_TRUE(Logged("CPaski : loading texture for the first time\n"));
    // Drawing with no texture bound draws nothing and leaves the depth states on.
    p.Update(1.0f);
    p.Render();
    EXPECT_EQ(RS(D3DRS_ZENABLE), static_cast<DWORD>(TRUE));
}

TEST_F(StripesDrawTest, DrawsStretchedStripesInTheLastUpdatesColour) {
    const std::string file = WriteImage("stripes_white32.png", 32, 32, [](int, int) { return 0xFFFFFFFFu; });
    ASSERT_TRUE(m_pRender->LoadTexture(file.c_str(), "CPaski"));
    crt::srand(1);
    CPaski p(1);
    EXPECT_FALSE(Logged("CPaski : loading"));
    p.colour = 0xFFFFFFFFu;
    p.Update(3.0f);
    // Set after the update: not used for this frame.
    p.colour = 0x00FFFFFFu;
    const CPaski::Stripe& s = p.Stripes()[0];
    m_pRender->m_dwClearColor = 0;
    m_pRender->BeginScene(2);
    p.Render();
    const auto px = ReadBack();
    // 32 (width + 15) pixels wide from drawX, 32 x 0.35 = 11.2 rows tall from drawY.
    const int x0 = static_cast<int>(s.drawX), y0 = static_cast<int>(s.drawY);
    const int w = static_cast<int>(32 * (s.width + 15));
    const int probeX = std::min(x0 + 10, 799);
    EXPECT_EQ(At(px, probeX, y0 + 5), 0xFFFFFFu);
    EXPECT_EQ(At(px, probeX, y0 + 14), 0u);
    if (x0 + w + 5 < 800) {
        EXPECT_EQ(At(px, x0 + w + 5, y0 + 5), 0u);
    }
    if (x0 > 5) {
        EXPECT_EQ(At(px, x0 - 5, y0 + 5), 0u);
    }
    // The depth states are left on.
    EXPECT_EQ(RS(D3DRS_ZENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(RS(D3DRS_ZWRITEENABLE), static_cast<DWORD>(TRUE));
}

}  // namespace
