// glyph_raster.cpp - FreeType glyphs, fontconfig face resolution.
#include "platform/gdi/glyph_raster.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <strings.h>

namespace velunar::gdi {

namespace {

// The face used when the requested one is not installed (Lucida Console is not on Linux).
constexpr const char* kFallbackFamily = "DejaVu Sans Mono";

struct FtLibrary {
    FT_Library lib = nullptr;
    FtLibrary() {
        if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
    }
    ~FtLibrary() {
        if (lib) FT_Done_FreeType(lib);
    }
};

FT_Library Library() {
    static FtLibrary instance;
    return instance.lib;
}

// fontconfig's best match for the family; sets exact when the match is that family.
std::string MatchFile(const char* family, bool bold, bool italic, int* pIndex, bool* pExact) {
    *pExact = false;
    *pIndex = 0;
    FcPattern* pat = FcPatternCreate();
    if (!pat) return {};
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    FcPatternDestroy(pat);
    std::string path;
    if (match) {
        FcChar8* file = nullptr;
        FcChar8* matchedFamily = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
            path = reinterpret_cast<const char*>(file);
        }
        FcPatternGetInteger(match, FC_INDEX, 0, pIndex);
        for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &matchedFamily) == FcResultMatch; ++i) {
            if (matchedFamily && strcasecmp(reinterpret_cast<const char*>(matchedFamily), family) == 0) {
                *pExact = true;
                break;
            }
        }
        FcPatternDestroy(match);
    }
    return path;
}

}  // namespace

struct GlyphFace::Impl {
    FT_Face face = nullptr;
    ~Impl() {
        if (face) FT_Done_Face(face);
    }
};

CoverageBitmap::CoverageBitmap(int w, int h)
    : width(std::max(w, 0)), height(std::max(h, 0)),
      pixels(new std::uint8_t[static_cast<std::size_t>(width) * height]()) {}

GlyphFace::~GlyphFace() = default;

std::unique_ptr<GlyphFace> GlyphFace::Open(const char* faceName, int pixelHeight, bool bold, bool italic) {
    if (!faceName || pixelHeight <= 0 || !Library() || !FcInit()) return nullptr;

    int index = 0;
    bool exact = false;
    std::string path = MatchFile(faceName, bold, italic, &index, &exact);
    bool fallback = false;
    if (!exact) {
        bool fallbackExact = false;
        int fallbackIndex = 0;
        std::string fallbackPath = MatchFile(kFallbackFamily, bold, italic, &fallbackIndex, &fallbackExact);
        if (fallbackExact || path.empty()) {
            path = fallbackPath;
            index = fallbackIndex;
        }
        fallback = true;
    }
    if (path.empty()) return nullptr;

    std::unique_ptr<GlyphFace> gf(new GlyphFace());
    gf->m_impl = std::make_unique<Impl>();
    if (FT_New_Face(Library(), path.c_str(), index, &gf->m_impl->face) != 0) {
        gf->m_impl->face = nullptr;
        return nullptr;
    }
    FT_Face face = gf->m_impl->face;
    // A negative GDI height asks for the em height in pixels.
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelHeight)) != 0) return nullptr;

    // GDI's cell of a TrueType face: the Windows ascent and descent scaled to the em, rounded.
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const double scale = static_cast<double>(pixelHeight) / face->units_per_EM;
    if (os2 && os2->version != 0xFFFFu && (os2->usWinAscent + os2->usWinDescent) > 0) {
        gf->m_ascent = static_cast<int>(std::lround(os2->usWinAscent * scale));
        gf->m_descent = static_cast<int>(std::lround(os2->usWinDescent * scale));
    } else {
        gf->m_ascent = static_cast<int>(std::lround(face->ascender * scale));
        gf->m_descent = static_cast<int>(std::lround(-face->descender * scale));
    }
    gf->m_path = path;
    gf->m_bFallback = fallback;
    return gf;
}

TextExtent GlyphFace::Measure(const char* text, int length) const {
    TextExtent e;
    e.cy = m_ascent + m_descent;
    if (!text) return e;
    FT_Face face = m_impl->face;
    for (int i = 0; i < length; ++i) {
        if (FT_Load_Char(face, static_cast<unsigned char>(text[i]), FT_LOAD_DEFAULT) != 0) continue;
        // Hinted advances are whole pixels in 26.6.
        e.cx += static_cast<int>((face->glyph->advance.x + 32) >> 6);
    }
    return e;
}

void GlyphFace::Draw(const char* text, int length, int x, int y, CoverageBitmap& target) const {
    if (!text || length <= 0) return;
    const TextExtent cell = Measure(text, length);
    for (int row = std::max(y, 0); row < std::min(y + cell.cy, target.height); ++row) {
        const int x0 = std::max(x, 0);
        const int x1 = std::min(x + cell.cx, target.width);
        if (x1 > x0) std::memset(&target.pixels[static_cast<std::size_t>(row) * target.width + x0], 0, x1 - x0);
    }

    FT_Face face = m_impl->face;
    const int baseline = y + m_ascent;
    int pen = x;
    for (int i = 0; i < length; ++i) {
        if (FT_Load_Char(face, static_cast<unsigned char>(text[i]), FT_LOAD_RENDER) != 0) continue;
        const FT_GlyphSlot g = face->glyph;
        const FT_Bitmap& bm = g->bitmap;
        if (bm.pixel_mode == FT_PIXEL_MODE_GRAY && bm.buffer) {
            const int left = pen + g->bitmap_left;
            const int top = baseline - g->bitmap_top;
            for (unsigned r = 0; r < bm.rows; ++r) {
                const int ty = top + static_cast<int>(r);
                if (ty < 0 || ty >= target.height) continue;
                const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(r) * bm.pitch;
                for (unsigned c = 0; c < bm.width; ++c) {
                    const int tx = left + static_cast<int>(c);
                    if (tx < 0 || tx >= target.width) continue;
                    std::uint8_t& dst = target.pixels[static_cast<std::size_t>(ty) * target.width + tx];
                    dst = std::max<std::uint8_t>(dst, src[c]);
                }
            }
        }
        pen += static_cast<int>((g->advance.x + 32) >> 6);
    }
}

}  // namespace velunar::gdi
