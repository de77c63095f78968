// scene_schedule.cpp - the show's timetable: every window, its scene and its fades, in call order.
#include "app/scene_schedule.h"

#include "core/show_clock.h"
#include "fx/fades.h"
#include "scenes/scenes.h"

#include <limits>

const float g_afFlashTimes[18] = {45.9f,   46.113f, 46.187f, 46.258f, 46.471f, 46.686f, 46.827f, 46.97f,  47.043f,
                                  47.113f, 47.258f, 47.401f, 47.542f, 47.614f, 47.684f, 47.829f, 47.898f, 47.972f};

namespace {

using K = FadeKind;

const FadeCall kFx01a[] = {{K::FromBlack, 0.0f, 3.4525f}, {K::FromWhite, 0.0f, 0.7f}};
const FadeCall kFx01b[] = {{K::ToWhite, 18.0f, 0.3f}};
const FadeCall kFx01c[] = {{K::FromWhite, 18.301f, 0.3f}, {K::ToWhite, 27.0f, 0.345f}};
const FadeCall kFx02[] = {{K::FromWhite, 27.345f, 1.0f}, {K::ToBlack, 45.7f, 0.2f}};
// One short black flash per drum hit, then the fade into fx10.
const FadeCall kFx09[] = {
    {K::Flash, 45.9f, 0.07f},   {K::Flash, 46.113f, 0.07f}, {K::Flash, 46.187f, 0.07f}, {K::Flash, 46.258f, 0.07f},
    {K::Flash, 46.471f, 0.07f}, {K::Flash, 46.686f, 0.07f}, {K::Flash, 46.827f, 0.07f}, {K::Flash, 46.97f, 0.07f},
    {K::Flash, 47.043f, 0.07f}, {K::Flash, 47.113f, 0.07f}, {K::Flash, 47.258f, 0.07f}, {K::Flash, 47.401f, 0.07f},
    {K::Flash, 47.542f, 0.07f}, {K::Flash, 47.614f, 0.07f}, {K::Flash, 47.684f, 0.07f}, {K::Flash, 47.829f, 0.07f},
    {K::Flash, 47.898f, 0.07f}, {K::Flash, 47.972f, 0.07f}, {K::ToBlack, 47.772f, 0.2f}};
const FadeCall kFx10[] = {{K::FromBlack, 47.972f, 0.6f}, {K::ToWhite, 63.689f, 0.3f}};
const FadeCall kFx07[] = {{K::FromWhite, 63.989f, 0.4f}, {K::ToWhite, 68.249f, 0.3f}};
const FadeCall kFx04[] = {{K::FromWhite, 68.549f, 0.4f}, {K::ToWhite, 86.514f, 0.3f}};
const FadeCall kFx03[] = {{K::FromWhite, 86.814f, 0.4f}, {K::ToWhite, 104.788f, 0.3f}};
const FadeCall kFx05[] = {{K::FromWhite, 105.088f, 0.4f}, {K::ToWhite, 109.365f, 0.3f}};
const FadeCall kFx08[] = {{K::FromWhite, 109.665f, 0.4f}, {K::ToWhite, 145.921f, 0.3f}};
const FadeCall kFx06[] = {{K::FromWhite, 146.221f, 2.0f}};

template <int N>
constexpr int Count(const FadeCall (&)[N]) {
    return N;
}

constexpr double kNegInf = -std::numeric_limits<double>::infinity();

const SceneRow kRows[] = {
    {"intro", RenderIntro, kNegInf, 0.0, false, nullptr, 0},
    {"fx01", RenderFx01, 0.0, 3.4525, false, kFx01a, Count(kFx01a)},
    {"fx01", RenderFx01, 3.4525, 18.301, false, kFx01b, Count(kFx01b)},
    {"fx01", RenderFx01, 18.301, 27.345, false, kFx01c, Count(kFx01c)},
    {"fx02", RenderFx02, 27.345, 45.9, false, kFx02, Count(kFx02)},
    {"fx09", RenderFx09, 45.9, 47.972, false, kFx09, Count(kFx09)},
    {"fx10", RenderFx10, 47.972, 63.989, false, kFx10, Count(kFx10)},
    {"fx07", RenderFx07, 63.989, 68.549, false, kFx07, Count(kFx07)},
    {"fx04", RenderFx04, 68.549, 86.814, false, kFx04, Count(kFx04)},
    {"fx03", RenderFx03, 86.814, 105.088, false, kFx03, Count(kFx03)},
    {"fx05", RenderFx05, 105.088, 109.665, false, kFx05, Count(kFx05)},
    {"fx08", RenderFx08, 109.665, 146.221, false, kFx08, Count(kFx08)},
    {"fx06", RenderFx06, 146.221, kShowEnd, true, kFx06, Count(kFx06)},
};

}  // namespace

const SceneRow* SceneRows(int* count) {
    if (count) *count = static_cast<int>(sizeof(kRows) / sizeof(kRows[0]));
    return kRows;
}

const SceneRow* FindSceneRow(float t) {
    const double td = t;
    for (const SceneRow& row : kRows) {
        if (td >= row.lo && (row.closed ? td <= row.hi : td < row.hi)) return &row;
    }
    return nullptr;
}

namespace {
float g_fFlashDepth = 1.0f;
}  // namespace

void SetGentleFlashes(bool gentle) { g_fFlashDepth = gentle ? kGentleFlashDepth : 1.0f; }

void CallFade(const FadeCall& f, float t) {
    switch (f.kind) {
    case FadeKind::Flash:
        if (g_fFlashDepth < 1.0f)
            DimToBlack(t, f.start, f.duration, g_fFlashDepth);
        else
            FadeToBlack(t, f.start, f.duration);
        break;
    case FadeKind::ToBlack: FadeToBlack(t, f.start, f.duration); break;
    case FadeKind::FromBlack: FadeFromBlack(t, f.start, f.duration); break;
    case FadeKind::ToWhite: FadeToWhite(t, f.start, f.duration); break;
    case FadeKind::FromWhite: FadeFromWhite(t, f.start, f.duration); break;
    }
}
