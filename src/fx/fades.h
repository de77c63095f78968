// fades.h - full-viewport black and white fades with a linear opacity ramp, drawn only while
// start <= t < start + duration.
// Depends on: the renderer, the image quad, the shared "black" and "white" textures.
#pragma once

void FadeToBlack(float t, float start, float duration);
void FadeFromBlack(float t, float start, float duration);
void FadeToWhite(float t, float start, float duration);
void FadeFromWhite(float t, float start, float duration);
// FadeToBlack whose opacity ramps only up to `depth` (0 ... 1): a gentler flash.
void DimToBlack(float t, float start, float duration, float depth);

// The opacity of a fade at t (rising from 0 or falling from 1), or a negative value when the
// half-open window [start, start + duration) does not hold t.
float FadeOpacity(float t, float start, float duration, bool rising);
// Vertex alpha for an opacity: a * 255 truncated toward zero.
int FadeVertexAlpha(float opacity);
