// BMP reading and writing. Every size and offset in a file is checked against the bytes present
// before a pixel is touched: a damaged screenshot or texture fails, it never reads out of bounds.
#include <bit>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/d3dx8/image.h"

namespace velunar::d3dx {
namespace {

constexpr std::uint32_t kBiRgb = 0, kBiBitfields = 3, kBiAlphaBitfields = 6;
constexpr std::int64_t kMaxSide = 32768;

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void PutU16(std::uint8_t* p, std::uint32_t v) { p[0] = v & 0xff; p[1] = (v >> 8) & 0xff; }
void PutU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xff);
}

DecodeResult Fail(DecodeResult r, std::string* errorText, const char* text) {
    if (errorText) *errorText = text;
    return r;
}

// One channel of a bitfield pixel, scaled to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t maxValue = 0;
    explicit Channel(std::uint32_t m) : mask(m) {
        if (m) {
            shift = std::countr_zero(m);
            maxValue = m >> shift;
        }
    }
    std::uint32_t Get(std::uint32_t px, std::uint32_t absent) const {
        if (!maxValue) return absent;
        const std::uint32_t v = (px & mask) >> shift;
        return static_cast<std::uint32_t>((static_cast<std::uint64_t>(v) * 255 + maxValue / 2) / maxValue);
    }
};

}  // namespace

DecodeResult DecodeBmp(const std::uint8_t* data, std::size_t size, Bitmap& out, std::string* errorText) {
    out = Bitmap{};
    if (!data || size < 26 || data[0] != 'B' || data[1] != 'M')
        return Fail(DecodeResult::Corrupt, errorText, "not a BMP file");
    const std::uint32_t offBits = U32(data + 10);
    const std::uint32_t headerSize = U32(data + 14);
    if (headerSize < 12 || 14ull + headerSize > size) return Fail(DecodeResult::Corrupt, errorText, "BMP header truncated");
    const std::uint8_t* h = data + 14;

    std::int64_t width, height;
    int bpp;
    std::uint32_t compression = kBiRgb, colorsUsed = 0;
    int paletteEntrySize = 4;
    if (headerSize == 12) {  // OS/2 core header
        width = U16(h + 4);
        height = static_cast<std::int16_t>(U16(h + 6));
        bpp = U16(h + 10);
        paletteEntrySize = 3;
    } else {
        if (headerSize < 40) return Fail(DecodeResult::Corrupt, errorText, "BMP header size invalid");
        width = static_cast<std::int32_t>(U32(h + 4));
        height = static_cast<std::int32_t>(U32(h + 8));
        bpp = U16(h + 14);
        compression = U32(h + 16);
        colorsUsed = U32(h + 32);
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        static_cast<std::uint64_t>(width) * height > kMaxImagePixels)
        return Fail(DecodeResult::Corrupt, errorText, "BMP size invalid");
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return Fail(DecodeResult::Corrupt, errorText, "BMP bit depth invalid");
    if (compression != kBiRgb && compression != kBiBitfields && compression != kBiAlphaBitfields)
        return Fail(DecodeResult::Unsupported, errorText, "compressed BMP not supported");
    if (compression != kBiRgb && bpp != 16 && bpp != 32)
        return Fail(DecodeResult::Corrupt, errorText, "BMP bitfields need 16 or 32 bits");

    // Bitfield masks: inside a V2+ header, else right after the 40-byte header.
    std::uint32_t masks[4] = {0, 0, 0, 0};
    std::size_t afterHeader = 14 + headerSize;
    if (compression != kBiRgb) {
        const int count = compression == kBiAlphaBitfields ? 4 : 3;
        if (headerSize >= 52) {
            for (int i = 0; i < 3; ++i) masks[i] = U32(h + 40 + 4 * i);
            if (headerSize >= 56) masks[3] = U32(h + 52);
        } else {
            if (afterHeader + 4ull * count > size) return Fail(DecodeResult::Corrupt, errorText, "BMP masks truncated");
            for (int i = 0; i < count; ++i) masks[i] = U32(data + afterHeader + 4 * i);
            afterHeader += 4ull * count;
        }
    } else if (bpp == 16) {
        masks[0] = 0x7c00; masks[1] = 0x03e0; masks[2] = 0x001f;
    } else if (bpp == 32) {
        masks[0] = 0xff0000; masks[1] = 0xff00; masks[2] = 0xff;
    }

    std::vector<std::uint32_t> palette;
    if (bpp <= 8) {
        std::uint32_t entries = colorsUsed ? colorsUsed : (1u << bpp);
        if (entries > 256) return Fail(DecodeResult::Corrupt, errorText, "BMP palette too large");
        if (afterHeader + static_cast<std::size_t>(entries) * paletteEntrySize > size)
            return Fail(DecodeResult::Corrupt, errorText, "BMP palette truncated");
        palette.assign(256, 0xff000000u);
        for (std::uint32_t i = 0; i < entries; ++i) {
            const std::uint8_t* e = data + afterHeader + static_cast<std::size_t>(i) * paletteEntrySize;
            palette[i] = 0xff000000u | (static_cast<std::uint32_t>(e[2]) << 16) | (e[1] << 8) | e[0];
        }
    }

    const std::size_t stride = ((static_cast<std::size_t>(width) * bpp + 31) / 32) * 4;
    if (offBits >= size || static_cast<std::uint64_t>(stride) * height > size - offBits)
        return Fail(DecodeResult::Corrupt, errorText, "BMP pixel data truncated");

    const Channel r(masks[0]), g(masks[1]), b(masks[2]), a(masks[3]);
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.hasAlpha = masks[3] != 0;
    out.argb.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < out.height; ++y) {
        const int fileRow = topDown ? y : out.height - 1 - y;
        const std::uint8_t* row = data + offBits + stride * fileRow;
        std::uint32_t* dst = out.argb.data() + static_cast<std::size_t>(y) * out.width;
        for (int x = 0; x < out.width; ++x) {
            std::uint32_t px;
            switch (bpp) {
                case 1: px = palette[(row[x >> 3] >> (7 - (x & 7))) & 1]; break;
                case 4: px = palette[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xf]; break;
                case 8: px = palette[row[x]]; break;
                case 24: {
                    const std::uint8_t* p = row + 3 * x;
                    px = 0xff000000u | (static_cast<std::uint32_t>(p[2]) << 16) | (p[1] << 8) | p[0];
                    break;
                }
                default: {
                    const std::uint32_t raw = bpp == 16 ? U16(row + 2 * x) : U32(row + 4 * x);
                    px = (a.Get(raw, 255) << 24) | (r.Get(raw, 0) << 16) | (g.Get(raw, 0) << 8) | b.Get(raw, 0);
                    break;
                }
            }
            dst[x] = px;
        }
    }
    if (errorText) errorText->clear();
    return DecodeResult::Ok;
}

std::vector<std::uint8_t> EncodeBmp24(const Bitmap& image) {
    const std::size_t stride = ((static_cast<std::size_t>(image.width) * 3 + 3) / 4) * 4;
    const std::size_t pixelBytes = stride * image.height;
    std::vector<std::uint8_t> file(54 + pixelBytes, 0);
    std::uint8_t* p = file.data();
    p[0] = 'B';
    p[1] = 'M';
    PutU32(p + 2, static_cast<std::uint32_t>(file.size()));
    PutU32(p + 10, 54);
    PutU32(p + 14, 40);
    PutU32(p + 18, static_cast<std::uint32_t>(image.width));
    PutU32(p + 22, static_cast<std::uint32_t>(image.height));  // positive: bottom row first
    PutU16(p + 26, 1);
    PutU16(p + 28, 24);
    PutU32(p + 34, static_cast<std::uint32_t>(pixelBytes));
    PutU32(p + 38, 2835);  // 72 dpi
    PutU32(p + 42, 2835);
    for (int y = 0; y < image.height; ++y) {
        const std::uint32_t* src = image.argb.data() + static_cast<std::size_t>(image.height - 1 - y) * image.width;
        std::uint8_t* dst = p + 54 + stride * y;
        for (int x = 0; x < image.width; ++x) {
            dst[3 * x + 0] = src[x] & 0xff;
            dst[3 * x + 1] = (src[x] >> 8) & 0xff;
            dst[3 * x + 2] = (src[x] >> 16) & 0xff;
        }
    }
    return file;
}

bool WriteBmp24(const char* path, const Bitmap& image) {
    if (!path || image.width <= 0 || image.height <= 0 ||
        image.argb.size() != static_cast<std::size_t>(image.width) * image.height)
        return false;
    const std::vector<std::uint8_t> bytes = EncodeBmp24(image);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path, "wb"), &std::fclose);
    if (!f) return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) return false;
    return std::fclose(f.release()) == 0;
}

}  // namespace velunar::d3dx
