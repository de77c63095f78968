// The show rendered at --scale 2 beside the same demo times at its own 800 x 600: halved, the
// larger frames match; the letterbox bars stay exactly black; text and mesh edges carry detail
// that the small frame enlarged does not have. Refusals of a bad factor come before start-up.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "frame_runner.h"
#include "support/velunar_run.h"

namespace {

// Channel c of the k x k block at (x, y) of a frame k times the size, averaged.
double BlockMean(const Frame& big, int k, int x, int y, int c) {
    int sum = 0;
    for (int dy = 0; dy < k; ++dy)
        for (int dx = 0; dx < k; ++dx) sum += big.at(x * k + dx, y * k + dy)[c];
    return static_cast<double>(sum) / (k * k);
}

// Mean absolute difference per channel between the small frame and the big one box-averaged.
double MeanDifference(const Frame& small, const Frame& big, int k) {
    double total = 0;
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x)
            for (int c = 0; c < 3; ++c) total += std::abs(BlockMean(big, k, x, y, c) - small.at(x, y)[c]);
    return total / (3.0 * small.width * small.height);
}

// Sum of squared differences between neighbouring pixels (right and below) of a picture given
// by its channel function, over [x0, x1) x [y0, y1) of it.
template <typename Channel>
double GradientEnergy(Channel at, int x0, int y0, int x1, int y1) {
    double e = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            for (int c = 0; c < 3; ++c) {
                const double p = at(x, y, c), right = at(x + 1, y, c) - p, below = at(x, y + 1, c) - p;
                e += right * right + below * below;
            }
    return e;
}

// The small frame enlarged k times as a smooth picture would be (bilinear, pixel centres kept):
// what a larger window shows of an 800 x 600 picture.
double Enlarged(const Frame& small, int k, int x, int y, int c) {
    const double sx = std::clamp((x + 0.5) / k - 0.5, 0.0, small.width - 1.0);
    const double sy = std::clamp((y + 0.5) / k - 0.5, 0.0, small.height - 1.0);
    const int ix = std::min(static_cast<int>(sx), small.width - 2), iy = std::min(static_cast<int>(sy), small.height - 2);
    const double fx = sx - ix, fy = sy - iy;
    auto v = [&](int px, int py) { return static_cast<double>(small.at(px, py)[c]); };
    return (1 - fy) * ((1 - fx) * v(ix, iy) + fx * v(ix + 1, iy)) + fy * ((1 - fx) * v(ix, iy + 1) + fx * v(ix + 1, iy + 1));
}

// Pixels of the small frame that differ from a neighbour by more than kStep in some channel, and
// of those the k x k blocks of the big frame whose own pixels differ by that much: the small
// frame enlarged pixel by pixel has no detail inside its blocks at all.
constexpr int kStep = 24;
struct Detail {
    long edges = 0, inside = 0;
};
Detail DetailIn(const Frame& small, const Frame& big, int k, int x0, int y0, int x1, int y1) {
    Detail d;
    auto spread = [](const std::uint8_t* a, const std::uint8_t* b) {
        return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
    };
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::uint8_t* p = small.at(x, y);
            if (spread(p, small.at(x + 1, y)) <= kStep && spread(p, small.at(x, y + 1)) <= kStep) continue;
            ++d.edges;
            int most = 0;
            for (int i = 1; i < k * k; ++i) most = std::max(most, spread(big.at(x * k, y * k), big.at(x * k + i % k, y * k + i / k)));
            if (most > kStep) ++d.inside;
        }
    return d;
}

TEST(ScaledFrames, HalvedTheyMatchTheShowWithBlackBars) {
    // The title, a tunnel with its strips of text, the caption scene with its mesh, a late scene.
    for (double t : {-3.0, 30.0, 100.0, 150.0}) {
        const Frame small = RenderAt(t);
        int status = -1;
        const Frame big = RenderAt(t, &status, 2);
        ASSERT_TRUE(small.ok()) << t;
        ASSERT_TRUE(big.ok()) << t << " exit " << status;
        ASSERT_EQ(big.width, 1600);
        ASSERT_EQ(big.height, 1200);
        EXPECT_LT(MeanDifference(small, big, 2), 3.0) << t;
        // The letterbox bars of the frame tick: the top and bottom 200 rows, nothing else.
        EXPECT_EQ(big.Max(0, 0, 1600, 200), 0) << t;
        EXPECT_EQ(big.Max(0, 1000, 1600, 1200), 0) << t;
        EXPECT_GT(big.Max(0, 200, 1600, 1000), 0) << t;
    }
}

TEST(ScaledFrames, TextAndMeshEdgesAreFinerThanTheSmallFrameEnlarged) {
    // Captions over the left of the picture and the mesh on the right, at demo time 100. Two faults
    // are ruled out: a picture enlarged smoothly (too little gradient energy) and one enlarged
    // pixel by pixel (nothing inside the blocks).
    const Frame small = RenderAt(100.0);
    const Frame big = RenderAt(100.0, nullptr, 2);
    ASSERT_TRUE(small.ok());
    ASSERT_TRUE(big.ok());
    for (const auto& [x0, x1] : {std::pair{0, 400}, std::pair{560, 799}}) {
        const double fine = GradientEnergy([&](int x, int y, int c) { return static_cast<double>(big.at(x, y)[c]); },
                                           2 * x0, 200, 2 * x1, 998);
        const double smooth = GradientEnergy([&](int x, int y, int c) { return Enlarged(small, 2, x, y, c); }, 2 * x0,
                                             200, 2 * x1, 998);
        ASSERT_GT(smooth, 0.0);
        // Edges drawn at the larger size are steeper than the small frame's edges spread over twice
        // the pixels.
        EXPECT_GT(fine / smooth, 1.5) << x0 << ": " << fine / smooth;
        // ... and not the small frame's pixels enlarged: edges run through the blocks too.
        const Detail d = DetailIn(small, big, 2, x0, 100, x1, 499);
        ASSERT_GT(d.edges, 1000) << x0;
        EXPECT_GT(d.inside, d.edges / 4) << x0 << ": " << d.inside << " of " << d.edges;
    }
}

TEST(ScaledFrames, ABadFactorIsRefusedBeforeStartUp) {
    for (const char* bad : {"0", "5", "x", "auto"}) {
        const std::string work = WorkDir();
        std::filesystem::create_directories(work);
        const velunar_test::Outcome run = velunar_test::RunVelunar(work, {"--at", "3", "--shot", "s.png", "--scale", bad});
        EXPECT_EQ(run.status, 2) << bad;
        EXPECT_NE(run.err.find("--scale"), std::string::npos) << bad;
        // Nothing started: no log, no picture.
        EXPECT_FALSE(std::filesystem::exists(work + "/debug.txt")) << bad;
        EXPECT_FALSE(std::filesystem::exists(work + "/s.png")) << bad;
    }
}

}  // namespace
