// What a jump puts back: values, arrays and objects as start-up left them, the random sequence
// where start-up left it, and a holder built again replacing its entry.
#include "core/carried_state.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/crt_rand.h"

namespace crt = velunar::crt;

namespace {

struct Saved {
    int frames = 0;
    int SaveState() const { return frames; }
    void RestoreState(int f) { frames = f; }
};

TEST(CarriedState, RestoreBringsBackWhatStartUpLeft) {
    float start = 0.0f;
    int rises[3] = {0, 0, 0};
    std::vector<int>* points = new std::vector<int>{1, 2};
    Saved* grid = new Saved;
    CarryBetweenFrames(start);
    CarryBetweenFrames(rises);
    CarryObjectBetweenFrames(points);
    CarryObjectBetweenFrames(grid);

    crt::srand(7);
    crt::rand();
    KeepStartUpState();
    const int afterStartUp = crt::rand();

    // Frames played: every holder and the sequence move on.
    start = 70.0f;
    rises[1] = 5;
    points->push_back(3);
    grid->frames = 40;
    crt::srand(1234);

    RestoreStartUpState();
    EXPECT_EQ(start, 0.0f);
    EXPECT_EQ(rises[1], 0);
    EXPECT_EQ(*points, (std::vector<int>{1, 2}));
    EXPECT_EQ(grid->frames, 0);
    EXPECT_EQ(crt::rand(), afterStartUp);

    // A second jump finds the same.
    start = 3.0f;
    RestoreStartUpState();
    EXPECT_EQ(start, 0.0f);

    // A holder built again replaces its entry: the new object is kept and restored, the old one
    // (gone) is never touched.
    delete points;
    points = new std::vector<int>{9};
    CarryObjectBetweenFrames(points);
    KeepStartUpState();
    points->clear();
    RestoreStartUpState();
    EXPECT_EQ(*points, std::vector<int>{9});

    // A null holder is left alone.
    delete grid;
    grid = nullptr;
    KeepStartUpState();
    RestoreStartUpState();
    EXPECT_EQ(grid, nullptr);
    delete points;
    points = nullptr;
}

}  // namespace
