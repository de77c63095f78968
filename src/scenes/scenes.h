// scenes.h - every scene's pair of operations: init once at start-up (in the order Intro, fx01 ...
// fx10), render every frame inside the scene's window of the schedule.
// Depends on: nothing.
#pragma once

class CImageQuad;
class CPaski;

void InitIntro();
void RenderIntro(float t);
void InitFx01();
void RenderFx01(float t);
void InitFx02();
void RenderFx02(float t);
void InitFx03();
void RenderFx03(float t);
void InitFx04();
void RenderFx04(float t);
void InitFx05();
void RenderFx05(float t);
void InitFx06();
void RenderFx06(float t);
void InitFx07();
void RenderFx07(float t);
void InitFx08();
void RenderFx08(float t);
void InitFx09();
void RenderFx09(float t);
void InitFx10();
void RenderFx10(float t);

// What tests look at in a scene's own objects, once its init has run.
const CPaski& Fx04Stripes();
CImageQuad& Fx04Band();
CImageQuad& Fx05Band();
