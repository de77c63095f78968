// text.h - type for the pictures: FreeType glyph coverage from the DejaVu faces, found with
// fontconfig.
// Depends on: FreeType, fontconfig.
#pragma once

#include <string>
#include <vector>

#include "image.h"

namespace assetgen {

enum class Face { Sans, SansBold, SansCondensedBold, Serif, SerifBold, MonoBold };

// Path of the face's file; empty when fontconfig finds no DejaVu file for it.
std::string FacePath(Face face);

struct TextMask {
    int w = 0, h = 0;          // pixels; h = ascender + descender at this size
    int baseline = 0;          // rows from the top to the baseline
    std::vector<float> cover;  // w x h coverage, 0 ... 1
    float at(int x, int y) const { return cover[static_cast<size_t>(y) * w + x]; }
};

// Renders one line at a pixel height (em size), with `tracking` extra pixels between letters;
// `widthScale` widens the glyphs, for pictures that the screen shows squeezed across.
TextMask RenderText(Face face, int pixelHeight, const std::string& text, int tracking = 0, float widthScale = 1.0f);

// Composites the mask with colour c, its top-left at (x, y); `wrapX` repeats it across the
// picture's width so that horizontally tiling pictures stay seamless.
void DrawText(Image& img, const TextMask& mask, int x, int y, const Rgba& c, bool wrapX = false);
// Grows a coverage mask by `radius` pixels (round brush): outlines and shadows under type.
TextMask Dilate(const TextMask& m, int radius);
// Draws centred on (cx, cy) (the box centre of the mask).
void DrawTextCentred(Image& img, Face face, int pixelHeight, const std::string& text, float cx, float cy,
                     const Rgba& c, int tracking = 0, float widthScale = 1.0f);

// The band quads show 1024 x 384 texels on 800 x 400 pixels: type and round shapes drawn this
// much wider look true on screen.
constexpr float kBandWiden = (1024.0f / 800.0f) * (400.0f / 384.0f);

}  // namespace assetgen
