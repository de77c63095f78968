// The timetable: which scene renders and which fades run, at every boundary and just before it.
#include "app/scene_schedule.h"
#include "fx/fades.h"
#include "scenes/scenes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {
std::vector<std::string> g_calls;
void Record(const char* what, float start, float duration) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s(%g,%g)", what, start, duration);
    g_calls.push_back(buf);
}
}  // namespace

void FadeToBlack(float, float s, float d) { Record("ToBlack", s, d); }
void FadeFromBlack(float, float s, float d) { Record("FromBlack", s, d); }
void FadeToWhite(float, float s, float d) { Record("ToWhite", s, d); }
void FadeFromWhite(float, float s, float d) { Record("FromWhite", s, d); }
void DimToBlack(float, float s, float d, float) { Record("DimToBlack", s, d); }
#define SCENE(n)                                 \
    void Init##n() {}                            \
    void Render##n(float) { g_calls.push_back(#n); }
SCENE(Intro)
SCENE(Fx01)
SCENE(Fx02)
SCENE(Fx03)
SCENE(Fx04)
SCENE(Fx05)
SCENE(Fx06)
SCENE(Fx07)
SCENE(Fx08)
SCENE(Fx09)
SCENE(Fx10)

namespace {

const char* SceneAt(float t) {
    const SceneRow* row = FindSceneRow(t);
    return row ? row->name : "destroy";
}

// The float just below a boundary.
float Before(double b) { return std::nextafter(static_cast<float>(b), -1000.0f); }

TEST(SceneSchedule, EveryBoundaryAndJustBefore) {
    struct Case {
        double boundary;
        const char* before;
        const char* at;
    } cases[] = {
        {0.0, "intro", "fx01"},       {3.4525, "fx01", "fx01"},     {18.301, "fx01", "fx01"},
        {27.345, "fx01", "fx02"},     {45.9, "fx02", "fx09"},       {47.972, "fx09", "fx10"},
        {63.989, "fx10", "fx07"},     {68.549, "fx07", "fx04"},     {86.814, "fx04", "fx03"},
        {105.088, "fx03", "fx05"},    {109.665, "fx05", "fx08"},    {146.221, "fx08", "fx06"},
    };
    for (const Case& c : cases) {
        // The float nearest a boundary may lie on either side of it: compare like the frame does.
        float at = static_cast<float>(c.boundary);
        if (static_cast<double>(at) < c.boundary) at = std::nextafter(at, 1000.0f);
        EXPECT_STREQ(SceneAt(at), c.at) << c.boundary;
        EXPECT_STREQ(SceneAt(Before(at)), c.before) << c.boundary;
    }
    EXPECT_STREQ(SceneAt(-5.0f), "intro");
}

TEST(SceneSchedule, TheEndIsClosedAt170) {
    EXPECT_STREQ(SceneAt(170.0f), "fx06");
    EXPECT_STREQ(SceneAt(std::nextafter(170.0f, 1000.0f)), "destroy");
    EXPECT_STREQ(SceneAt(175.0f), "destroy");
}

std::vector<std::string> FadesAt(float t) {
    g_calls.clear();
    const SceneRow* row = FindSceneRow(t);
    for (int i = 0; i < row->fadeCount; ++i) CallFade(row->fades[i], t);
    return g_calls;
}

TEST(SceneSchedule, FadesPerRowInCallOrder) {
    EXPECT_TRUE(FadesAt(-1.0f).empty());
    EXPECT_EQ(FadesAt(0.0f), (std::vector<std::string>{"FromBlack(0,3.4525)", "FromWhite(0,0.7)"}));
    EXPECT_EQ(FadesAt(3.4525f), (std::vector<std::string>{"ToWhite(18,0.3)"}));
    EXPECT_EQ(FadesAt(20.0f), (std::vector<std::string>{"FromWhite(18.301,0.3)", "ToWhite(27,0.345)"}));
    EXPECT_EQ(FadesAt(150.0f), (std::vector<std::string>{"FromWhite(146.221,2)"}));
    const std::vector<std::string> flashes = FadesAt(46.0f);
    ASSERT_EQ(flashes.size(), 19u);
    EXPECT_EQ(flashes.front(), "ToBlack(45.9,0.07)");
    EXPECT_EQ(flashes[17], "ToBlack(47.972,0.07)");
    EXPECT_EQ(flashes.back(), "ToBlack(47.772,0.2)");
    for (int i = 0; i < 18; ++i) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "ToBlack(%g,0.07)", g_afFlashTimes[i]);
        EXPECT_EQ(flashes[i], buf);
    }
}

// --gentle dims the eighteen drum-break flashes and nothing else.
TEST(SceneSchedule, GentleDimsOnlyTheDrumBreakFlashes) {
    const std::vector<std::string> asWritten = FadesAt(45.8f);
    SetGentleFlashes(true);
    const std::vector<std::string> flashes = FadesAt(46.0f);
    const std::vector<std::string> before = FadesAt(45.8f);
    SetGentleFlashes(false);
    EXPECT_EQ(before, asWritten);
    ASSERT_EQ(flashes.size(), 19u);
    for (int i = 0; i < 18; ++i) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "DimToBlack(%g,0.07)", g_afFlashTimes[i]);
        EXPECT_EQ(flashes[i], buf);
    }
    EXPECT_EQ(flashes.back(), "ToBlack(47.772,0.2)");
    EXPECT_EQ(FadesAt(46.0f).front(), "ToBlack(45.9,0.07)");
}

TEST(SceneSchedule, RowsRenderTheirScene) {
    g_calls.clear();
    FindSceneRow(100.0f)->render(100.0f);
    FindSceneRow(-2.0f)->render(-2.0f);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"Fx03", "Intro"}));
}

}  // namespace
