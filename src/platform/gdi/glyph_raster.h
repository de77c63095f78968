// glyph_raster.h - text rasterisation into 8-bit coverage bitmaps over FreeType, with fontconfig
// resolving face names, in place of GDI's CreateFont / GetTextExtentPoint32 / ExtTextOut on a
// memory bitmap. Metrics follow GDI's: a text cell is the advance width wide and the font's
// ascent plus descent high, and drawing at (x, y) puts the cell's top-left there.
// Depends on: FreeType, fontconfig (inside only).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace velunar::gdi {

// GDI's LOGPIXELSY of a screen context.
constexpr int kLogPixelsY = 96;

struct TextExtent {
    int cx = 0;
    int cy = 0;
};

// An 8-bit coverage bitmap: 0 background, 255 fully covered. Top row first.
struct CoverageBitmap {
    int width = 0;
    int height = 0;
    std::unique_ptr<std::uint8_t[]> pixels;

    CoverageBitmap(int w, int h);
    std::uint8_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

class GlyphFace {
public:
    // Resolves faceName through fontconfig (bold weight 700, italic), falling back to DejaVu Sans
    // Mono Bold when the face is not installed; pixelHeight is the character height (GDI's
    // negative lfHeight). Null when no face file can be opened.
    static std::unique_ptr<GlyphFace> Open(const char* faceName, int pixelHeight, bool bold, bool italic);
    ~GlyphFace();
    GlyphFace(const GlyphFace&) = delete;
    GlyphFace& operator=(const GlyphFace&) = delete;

    TextExtent Measure(const char* text, int length) const;
    // Fills the text's cell with 0 (opaque background), then adds the antialiased glyphs.
    // Parts outside the bitmap are clipped.
    void Draw(const char* text, int length, int x, int y, CoverageBitmap& target) const;

    // The font file fontconfig chose, and whether that was the requested family.
    const std::string& FilePath() const { return m_path; }
    bool IsFallback() const { return m_bFallback; }
    int Ascent() const { return m_ascent; }
    int Descent() const { return m_descent; }

private:
    struct Impl;
    GlyphFace() = default;

    std::unique_ptr<Impl> m_impl;
    std::string m_path;
    bool m_bFallback = false;
    int m_ascent = 0;
    int m_descent = 0;
};

}  // namespace velunar::gdi
