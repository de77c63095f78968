// text.cpp - FreeType line rendering.
#include "text.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace assetgen {
namespace {

const char* Pattern(Face face) {
    switch (face) {
        case Face::Sans: return "DejaVu Sans:style=Book";
        case Face::SansBold: return "DejaVu Sans:style=Bold";
        case Face::SansCondensedBold: return "DejaVu Sans Condensed:style=Condensed Bold";
        case Face::Serif: return "DejaVu Serif:style=Book";
        case Face::SerifBold: return "DejaVu Serif:style=Bold";
        case Face::MonoBold: return "DejaVu Sans Mono:style=Bold";
    }
    return "DejaVu Sans";
}

std::string Resolve(Face face) {
    FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(Pattern(face)));
    if (!pat) return {};
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult res = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pat, &res);
    std::string path;
    FcChar8* file = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) path = reinterpret_cast<char*>(file);
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(pat);
    // Only the DejaVu faces are part of the look; anything else fontconfig offers is refused.
    if (path.find("DejaVu") == std::string::npos) path.clear();
    return path;
}

}  // namespace

std::string FacePath(Face face) {
    static std::mutex lock;
    static std::map<Face, std::string> cache;
    std::lock_guard<std::mutex> guard(lock);
    auto it = cache.find(face);
    if (it == cache.end()) it = cache.emplace(face, Resolve(face)).first;
    return it->second;
}

TextMask RenderText(Face face, int pixelHeight, const std::string& text, int tracking, float widthScale) {
    TextMask mask;
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib)) return mask;
    FT_Face ft = nullptr;
    std::string path = FacePath(face);
    if (path.empty() || FT_New_Face(lib, path.c_str(), 0, &ft)) {
        FT_Done_FreeType(lib);
        return mask;
    }
    FT_Set_Pixel_Sizes(ft, static_cast<FT_UInt>(std::lround(pixelHeight * widthScale)), static_cast<FT_UInt>(pixelHeight));
    int ascender = static_cast<int>(ft->size->metrics.ascender >> 6);
    int descender = static_cast<int>(-(ft->size->metrics.descender >> 6));
    // First pass measures the pen advance, second pass draws.
    int width = 0;
    FT_UInt prev = 0;
    for (unsigned char ch : text) {
        FT_UInt gi = FT_Get_Char_Index(ft, ch);
        if (prev && FT_HAS_KERNING(ft)) {
            FT_Vector k;
            FT_Get_Kerning(ft, prev, gi, FT_KERNING_DEFAULT, &k);
            width += static_cast<int>(k.x >> 6);
        }
        if (FT_Load_Glyph(ft, gi, FT_LOAD_DEFAULT) == 0) width += static_cast<int>(ft->glyph->advance.x >> 6) + tracking;
        prev = gi;
    }
    mask.w = std::max(1, width + 2);
    mask.h = ascender + descender;
    mask.baseline = ascender;
    mask.cover.assign(static_cast<size_t>(mask.w) * mask.h, 0.0f);
    int pen = 1;
    prev = 0;
    for (unsigned char ch : text) {
        FT_UInt gi = FT_Get_Char_Index(ft, ch);
        if (prev && FT_HAS_KERNING(ft)) {
            FT_Vector k;
            FT_Get_Kerning(ft, prev, gi, FT_KERNING_DEFAULT, &k);
            pen += static_cast<int>(k.x >> 6);
        }
        prev = gi;
        if (FT_Load_Glyph(ft, gi, FT_LOAD_RENDER)) continue;
        FT_GlyphSlot g = ft->glyph;
        for (unsigned r = 0; r < g->bitmap.rows; ++r)
            for (unsigned c = 0; c < g->bitmap.width; ++c) {
                int x = pen + g->bitmap_left + static_cast<int>(c);
                int y = ascender - g->bitmap_top + static_cast<int>(r);
                if (x < 0 || y < 0 || x >= mask.w || y >= mask.h) continue;
                float v = g->bitmap.buffer[r * static_cast<unsigned>(g->bitmap.pitch) + c] / 255.0f;
                float& dst = mask.cover[static_cast<size_t>(y) * mask.w + x];
                dst = std::max(dst, v);
            }
        pen += static_cast<int>(g->advance.x >> 6) + tracking;
    }
    FT_Done_Face(ft);
    FT_Done_FreeType(lib);
    return mask;
}

void DrawText(Image& img, const TextMask& mask, int x, int y, const Rgba& c, bool wrapX) {
    for (int j = 0; j < mask.h; ++j) {
        int py = y + j;
        if (py < 0 || py >= img.h) continue;
        for (int i = 0; i < mask.w; ++i) {
            int px = x + i;
            if (wrapX) px = ((px % img.w) + img.w) % img.w;
            else if (px < 0 || px >= img.w) continue;
            float v = mask.at(i, j);
            if (v > 0) Over(img.at(px, py), c, v);
        }
    }
}

TextMask Dilate(const TextMask& m, int radius) {
    TextMask out = m;
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            float best = 0;
            for (int j = -radius; j <= radius; ++j)
                for (int i = -radius; i <= radius; ++i) {
                    if (i * i + j * j > radius * radius) continue;
                    int xx = x + i, yy = y + j;
                    if (xx >= 0 && yy >= 0 && xx < m.w && yy < m.h) best = std::max(best, m.at(xx, yy));
                }
            out.cover[static_cast<size_t>(y) * m.w + x] = best;
        }
    return out;
}

void DrawTextCentred(Image& img, Face face, int pixelHeight, const std::string& text, float cx, float cy,
                     const Rgba& c, int tracking, float widthScale) {
    TextMask m = RenderText(face, pixelHeight, text, tracking, widthScale);
    DrawText(img, m, static_cast<int>(cx - m.w * 0.5f), static_cast<int>(cy - m.h * 0.5f), c);
}

}  // namespace assetgen
