// scene_schedule.h - which scene renders and which fades run for a demo time.
// Depends on: nothing.
#pragma once

// Flash: fx09's drum-break flashes, a FadeToBlack unless --gentle dims them.
enum class FadeKind { ToBlack, FromBlack, ToWhite, FromWhite, Flash };

struct FadeCall {
    FadeKind kind;
    float start;
    float duration;
};

using SceneRender = void (*)(float t);

struct SceneRow {
    const char* name;
    SceneRender render;
    // The window lo <= t < hi (lo <= t <= hi when closed); the intro row has lo = -infinity.
    double lo, hi;
    bool closed;
    const FadeCall* fades;
    int fadeCount;
};

// The first row whose window holds t, or null once t is past the end of the show (destroy).
// Boundaries are compared in double precision against the float t.
const SceneRow* FindSceneRow(float t);
// Every row in order, for the frame tick's users (--at looks up a scene's start).
const SceneRow* SceneRows(int* count);

// The eighteen times of fx09's black flashes, in table order.
extern const float g_afFlashTimes[18];

void CallFade(const FadeCall& f, float t);

// --gentle: the drum-break flashes darken the picture only to kGentleFlashDepth, so that no
// flash changes the band's relative luminance by 0.1 (at most three flashes in any second).
constexpr float kGentleFlashDepth = 0.5f;
void SetGentleFlashes(bool gentle);
