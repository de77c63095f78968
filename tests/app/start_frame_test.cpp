// The first frame of a run started mid-show (--start) against --at at the same time, in a scene
// that carries state from frame to frame (fx03's turning shape and captions): the window run's
// frame tick is driven here in-process, headless, handed the wall clock's reading and a picture
// to read its first frame into, as the window's loop hands it the reading and F11 reads it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "app/demo.h"
#include "app/frame_tick.h"
#include "app/offscreen.h"
#include "app/options.h"
#include "app/viewer_keys.h"
#include "core/globals.h"
#include "core/logger.h"
#include "support/image.h"
#include "platform/window/clock.h"
#include "platform/window/offscreen_window.h"
#include "support/velunar_run.h"

namespace {

using velunar_test::Image;

// fx03 (86.814 ... 105.088 s): its shape and captions count from the scene's first frame.
constexpr double kStart = 92.0;

TEST(StartFrame, FirstFrameOfStartShowsWhatAtShows) {
    const std::string work = VELUNAR_TEST_TMP;
    velunar_test::LinkRunTree(work);
    const velunar_test::Outcome at = velunar_test::ShotAt(work, kStart, "at.png");
    ASSERT_EQ(at.status, 0) << at.err;
    const Image atShot = velunar_test::ReadPng(work + "/at.png");
    ASSERT_TRUE(atShot.ok());

    // What the entry point does for "-win --start 92", then start-up on a headless window.
    VelunarOptions opts;
    opts.hasStart = true;
    opts.start = kStart;
    PrepareStart(opts);
    EnableViewerKeys(false, false);
    g_pLogger = new CLogger("debug.txt", 20);
    g_bFullScreen = 0;
    g_hWnd = velunar::window::CreateOffscreenWindow(800, 600);
    ASSERT_NE(g_hWnd, nullptr);
    ASSERT_TRUE(InitDemo());
    g_bInitialized = 1;
    g_bActive = 1;

    capture::Picture first;
    ASSERT_TRUE(FrameTick(g_hWnd, timeGetTime(), &first));
    EXPECT_EQ(g_dwElapsed, DemoClockMsFor(kStart));
    ASSERT_EQ(first.width, atShot.width);
    ASSERT_EQ(first.height, atShot.height);
    long differing = 0;
    for (int y = 0; y < first.height; ++y)
        for (int x = 0; x < first.width; ++x) {
            const std::uint32_t p = first.argb[static_cast<size_t>(y) * first.width + x];
            const std::uint8_t* q = atShot.at(x, y);
            differing += q[0] != static_cast<std::uint8_t>(p >> 16) || q[1] != static_cast<std::uint8_t>(p >> 8) ||
                         q[2] != static_cast<std::uint8_t>(p);
        }
    EXPECT_EQ(differing, 0) << "pixels of --start " << kStart << "'s first frame that differ from --at";
}

}  // namespace
