// Image decoding, writing, resampling and packing, without a device.
#include "platform/d3dx8/image.h"
#include "platform/jpeg/jpeg.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <png.h>

#include "damage.h"

namespace {

namespace fs = std::filesystem;
using namespace velunar::d3dx;

std::string TmpPath(const char* name) {
    fs::create_directories(VELUNAR_TEST_TMP);
    return (fs::path(VELUNAR_TEST_TMP) / name).string();
}

std::vector<std::uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Bitmap Make(int w, int h, bool alpha) {
    Bitmap b;
    b.width = w;
    b.height = h;
    b.hasAlpha = alpha;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.argb.push_back((alpha ? static_cast<std::uint32_t>(x * 50 + y * 20) << 24 : 0xff000000u) |
                             (static_cast<std::uint32_t>(x * 40) << 16) | (static_cast<std::uint32_t>(y * 60) << 8) |
                             static_cast<std::uint32_t>(x + y));
    return b;
}

std::uint32_t U32(const std::vector<std::uint8_t>& v, std::size_t at) {
    return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) | (static_cast<std::uint32_t>(v[at + 3]) << 24);
}

TEST(D3DXImage, Bmp24IsBottomUpPaddedAndReadsBack) {
    const Bitmap src = Make(3, 2, false);  // 9 bytes a row, padded to 12
    const std::vector<std::uint8_t> file = EncodeBmp24(src);
    ASSERT_EQ(file.size(), 54u + 12u * 2u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(U32(file, 2), file.size());
    EXPECT_EQ(U32(file, 10), 54u);
    EXPECT_EQ(static_cast<std::int32_t>(U32(file, 22)), 2);  // positive height: bottom row first
    EXPECT_EQ(file[28], 24);
    // First stored row is the image's bottom row: pixel (0, 1) as B, G, R.
    EXPECT_EQ(file[54 + 0], src.argb[3] & 0xff);
    EXPECT_EQ(file[54 + 1], (src.argb[3] >> 8) & 0xff);
    EXPECT_EQ(file[54 + 2], (src.argb[3] >> 16) & 0xff);

    Bitmap back;
    ASSERT_EQ(DecodeBmp(file.data(), file.size(), back, nullptr), DecodeResult::Ok);
    EXPECT_EQ(back.width, 3);
    EXPECT_EQ(back.height, 2);
    EXPECT_FALSE(back.hasAlpha);
    EXPECT_EQ(back.argb, src.argb);

    const std::string path = TmpPath("rt.bmp");
    ASSERT_TRUE(WriteBmp24(path.c_str(), src));
    Bitmap fromFile;
    ASSERT_EQ(DecodeImageFile(path.c_str(), fromFile, nullptr), DecodeResult::Ok);
    EXPECT_EQ(fromFile.argb, src.argb);
}

// Hand-built files in the other layouts the format allows.
TEST(D3DXImage, BmpReadsPalettedTopDownAndBitfields) {
    // 8-bit, 2 x 2, top-down, two palette entries.
    std::vector<std::uint8_t> f(14 + 40 + 8 + 8, 0);
    f[0] = 'B'; f[1] = 'M';
    f[10] = 14 + 40 + 8;
    f[14] = 40;
    f[18] = 2;
    const std::int32_t minus2 = -2;
    std::memcpy(&f[22], &minus2, 4);
    f[26] = 1; f[28] = 8;
    f[46] = 2;  // colours used
    const std::uint8_t pal[8] = {0, 0, 255, 0, 255, 0, 0, 0};  // red, blue (B, G, R, 0)
    std::memcpy(&f[54], pal, 8);
    f[62] = 0; f[63] = 1;  // top row: red, blue
    f[66] = 1; f[67] = 7;  // bottom row: blue, out-of-range index
    Bitmap b;
    ASSERT_EQ(DecodeBmp(f.data(), f.size(), b, nullptr), DecodeResult::Ok);
    EXPECT_EQ(b.argb[0], 0xffff0000u);
    EXPECT_EQ(b.argb[1], 0xff0000ffu);
    EXPECT_EQ(b.argb[2], 0xff0000ffu);
    EXPECT_EQ(b.argb[3], 0xff000000u);  // missing entries read as black, never past the palette

    // 32-bit bitfields with an alpha mask in a V4-sized header.
    std::vector<std::uint8_t> g(14 + 108 + 4, 0);
    g[0] = 'B'; g[1] = 'M';
    g[10] = 14 + 108;
    g[14] = 108;
    g[18] = 1; g[22] = 1; g[26] = 1; g[28] = 32;
    g[30] = 3;  // BI_BITFIELDS
    const std::uint32_t masks[4] = {0x0000ff00u, 0x00ff0000u, 0xff000000u, 0x000000ffu};  // B G R A bytes reversed
    std::memcpy(&g[54], masks, 16);
    const std::uint32_t px = 0x11223344u;
    std::memcpy(&g[122], &px, 4);
    ASSERT_EQ(DecodeBmp(g.data(), g.size(), b, nullptr), DecodeResult::Ok);
    EXPECT_TRUE(b.hasAlpha);
    // R mask 0xff00 -> 0x33, G 0xff0000 -> 0x22, B 0xff000000 -> 0x11, A 0xff -> 0x44.
    EXPECT_EQ(b.argb[0], 0x44332211u);
}

TEST(D3DXImage, DamagedFilesFailCleanly) {
    const Bitmap src = Make(5, 4, false);
    const std::vector<std::uint8_t> bmp = EncodeBmp24(src);
    Bitmap out;
    std::string why;
    for (std::size_t cut = 0; cut < bmp.size(); ++cut) {
        const DecodeResult r = DecodeImageMemory(bmp.data(), cut, out, &why);
        EXPECT_NE(r, DecodeResult::Ok) << cut;
        EXPECT_TRUE(out.argb.empty());
    }
    // Absurd sizes and depths in an intact-looking header.
    std::vector<std::uint8_t> bad = bmp;
    bad[18] = 0xff; bad[19] = 0xff; bad[20] = 0xff; bad[21] = 0x7f;
    EXPECT_EQ(DecodeBmp(bad.data(), bad.size(), out, &why), DecodeResult::Corrupt);
    bad = bmp;
    bad[28] = 7;
    EXPECT_EQ(DecodeBmp(bad.data(), bad.size(), out, &why), DecodeResult::Corrupt);
    bad = bmp;
    bad[30] = 1;  // RLE8
    EXPECT_EQ(DecodeBmp(bad.data(), bad.size(), out, &why), DecodeResult::Unsupported);
    bad = bmp;
    bad[10] = 0xf0; bad[11] = 0xff;  // pixel offset past the end
    EXPECT_EQ(DecodeBmp(bad.data(), bad.size(), out, &why), DecodeResult::Corrupt);
    EXPECT_FALSE(why.empty());

    const std::string png = TmpPath("cut.png");
    ASSERT_TRUE(WritePng(png.c_str(), src));
    const std::vector<std::uint8_t> pngBytes = ReadAll(png);
    // Everything short of the 12-byte end marker loses image data.
    for (std::size_t cut = 8; cut < pngBytes.size() - 12; cut += 5)
        EXPECT_NE(DecodeImageMemory(pngBytes.data(), cut, out, nullptr), DecodeResult::Ok) << cut;

    const std::uint8_t text[] = "plain text";
    EXPECT_EQ(DecodeImageMemory(text, sizeof text, out, &why), DecodeResult::Unsupported);
    EXPECT_EQ(DecodeImageFile(TmpPath("missing.png").c_str(), out, &why), DecodeResult::NotFound);
}

// Every small file the loader reads (24-bit BMP, PNG with and without alpha, JPEG) cut at every
// length and with each byte inverted, each from a buffer of exactly its size and from disk: a
// variant decodes to exactly width x height pixels or fails with nothing kept.
TEST(D3DXImage, EveryCutAndInvertedByteDecodesOrFails) {
    const Bitmap opaque = Make(5, 4, false), translucent = Make(3, 3, true);
    std::vector<std::vector<std::uint8_t>> files = {EncodeBmp24(opaque)};
    const std::string png = TmpPath("good.png"), pngAlpha = TmpPath("good_alpha.png"), jpg = TmpPath("good.jpg");
    ASSERT_TRUE(WritePng(png.c_str(), opaque));
    ASSERT_TRUE(WritePng(pngAlpha.c_str(), translucent));
    ASSERT_TRUE(WriteJpeg(jpg.c_str(), opaque, 90));
    for (const std::string& path : {png, pngAlpha, jpg}) files.push_back(ReadAll(path));
    const std::string damaged = TmpPath("damaged");
    for (const auto& good : files) {
        ASSERT_GT(good.size(), 20u);
        damage::ForEach(good, 1, [&](const damage::Bytes& bytes, const std::string& what) {
            Bitmap out;
            const DecodeResult r = DecodeImageMemory(bytes.data(), bytes.size(), out, nullptr);
            if (r == DecodeResult::Ok) {
                EXPECT_GT(out.width, 0) << what;
                EXPECT_EQ(out.argb.size(), static_cast<std::size_t>(out.width) * out.height) << what;
            } else {
                EXPECT_TRUE(out.argb.empty()) << what;
            }
            std::ofstream(damaged, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            EXPECT_EQ(DecodeImageFile(damaged.c_str(), out, nullptr), r) << what;
        });
    }
}

std::uint32_t Crc32(const std::uint8_t* p, std::size_t n) {
    std::uint32_t c = 0xffffffffu;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xedb88320u & (0u - (c & 1u)));
    }
    return ~c;
}

// A tiny file whose header claims 20000 x 20000 pixels is refused before anything is allocated.
TEST(D3DXImage, PngClaimingAHugeSizeIsCorrupt) {
    std::vector<std::uint8_t> f = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    const auto be32 = [&](std::uint32_t v) {
        for (int i = 3; i >= 0; --i) f.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    be32(13);
    const std::size_t chunk = f.size();
    for (char ch : {'I', 'H', 'D', 'R'}) f.push_back(static_cast<std::uint8_t>(ch));
    be32(20000);
    be32(20000);
    f.insert(f.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA
    be32(Crc32(f.data() + chunk, f.size() - chunk));
    // The start of a compressed stream: the header is judged before any of it is read.
    be32(2);
    const std::size_t data = f.size();
    f.insert(f.end(), {'I', 'D', 'A', 'T', 0x78, 0x9c});
    be32(Crc32(f.data() + data, 6));
    be32(0);
    const std::size_t end = f.size();
    for (char ch : {'I', 'E', 'N', 'D'}) f.push_back(static_cast<std::uint8_t>(ch));
    be32(Crc32(f.data() + end, 4));
    Bitmap b;
    std::string why;
    EXPECT_EQ(DecodeImageMemory(f.data(), f.size(), b, &why), DecodeResult::Corrupt);
    EXPECT_NE(why.find("size"), std::string::npos) << why;  // refused on the header, not on the data
    EXPECT_TRUE(b.argb.empty());
}

TEST(D3DXImage, PngKeepsAlphaAndOpaqueFilesReportNone) {
    const Bitmap withAlpha = Make(4, 3, true);
    const std::string a = TmpPath("a.png");
    ASSERT_TRUE(WritePng(a.c_str(), withAlpha));
    Bitmap back;
    ASSERT_EQ(DecodeImageFile(a.c_str(), back, nullptr), DecodeResult::Ok);
    EXPECT_TRUE(back.hasAlpha);
    EXPECT_EQ(back.argb, withAlpha.argb);

    const Bitmap opaque = Make(4, 3, false);
    const std::string o = TmpPath("o.png");
    ASSERT_TRUE(WritePng(o.c_str(), opaque));
    ASSERT_EQ(DecodeImageFile(o.c_str(), back, nullptr), DecodeResult::Ok);
    EXPECT_FALSE(back.hasAlpha);
    EXPECT_EQ(back.argb, opaque.argb);
}

TEST(D3DXImage, JpegIsRecognisedByContentWhateverTheName) {
    std::vector<std::uint8_t> rgb(8 * 8 * 3, 200);
    const std::string path = TmpPath("really_a_jpeg.png");
    ASSERT_TRUE(velunar::jpeg::EncodeFile(path.c_str(), rgb.data(), 8, 8, 95));
    Bitmap b;
    ASSERT_EQ(DecodeImageFile(path.c_str(), b, nullptr), DecodeResult::Ok);
    EXPECT_EQ(b.width, 8);
    EXPECT_FALSE(b.hasAlpha);
    EXPECT_EQ(b.argb[0] >> 24, 0xffu);
    EXPECT_NEAR(static_cast<int>(b.argb[0] & 0xff), 200, 3);
}

TEST(D3DXImage, ResampleCopiesSameSizeAndStretchesSmoothly) {
    const Bitmap src = Make(5, 3, true);
    for (Filter f : {Filter::Point, Filter::Linear, Filter::Triangle})
        EXPECT_EQ(Resample(src, 5, 3, f).argb, src.argb);

    // A flat image stays flat under any stretch (weights sum to one).
    Bitmap flat;
    flat.width = 3;
    flat.height = 5;
    flat.argb.assign(15, 0x80402010u);
    for (Filter f : {Filter::Point, Filter::Linear, Filter::Triangle}) {
        const Bitmap big = Resample(flat, 4, 8, f);
        ASSERT_EQ(big.argb.size(), 32u);
        for (auto p : big.argb) EXPECT_EQ(p, 0x80402010u);
    }

    // A black-to-white ramp enlarged stays monotonic and keeps its ends near black and white.
    Bitmap ramp;
    ramp.width = 3;
    ramp.height = 1;
    ramp.argb = {0xff000000u, 0xff808080u, 0xffffffffu};
    const Bitmap wide = Resample(ramp, 4, 1, Filter::Triangle);
    for (int i = 1; i < 4; ++i) EXPECT_GE(wide.argb[i] & 0xff, wide.argb[i - 1] & 0xff);
    EXPECT_LT(wide.argb[0] & 0xff, 40u);
    EXPECT_GT(wide.argb[3] & 0xff, 215u);

    // Reducing by two with the tent averages neighbours instead of dropping texels.
    Bitmap stripes;
    stripes.width = 4;
    stripes.height = 1;
    stripes.argb = {0xff000000u, 0xffffffffu, 0xff000000u, 0xffffffffu};
    const Bitmap half = Resample(stripes, 2, 1, Filter::Triangle);
    for (auto p : half.argb) EXPECT_NEAR(static_cast<int>(p & 0xff), 128, 40);
}

TEST(D3DXImage, MipHalvingAveragesAndStopsAtOne) {
    Bitmap b;
    b.width = 2;
    b.height = 1;
    b.argb = {0x00000000u, 0xffffffffu};
    Bitmap h = HalveBox(b);
    EXPECT_EQ(h.width, 1);
    EXPECT_EQ(h.height, 1);
    EXPECT_EQ(h.argb[0], 0x80808080u);
    h = HalveBox(h);
    EXPECT_EQ(h.width, 1);
    EXPECT_EQ(h.argb[0], 0x80808080u);
    EXPECT_EQ(NextPowerOfTwo(1), 1);
    EXPECT_EQ(NextPowerOfTwo(3), 4);
    EXPECT_EQ(NextPowerOfTwo(256), 256);
    EXPECT_EQ(NextPowerOfTwo(257), 512);
}

TEST(D3DXImage, PackingRoundsAndDitherAveragesToTheSource) {
    const std::uint32_t px[2] = {0xffffffffu, 0x00000000u};
    std::uint16_t out[2];
    PackRow(px, 2, D3DFMT_R5G6B5, true, 0, out);
    EXPECT_EQ(out[0], 0xffff);
    EXPECT_EQ(out[1], 0x0000);
    PackRow(px, 2, D3DFMT_A1R5G5B5, false, 0, out);
    EXPECT_EQ(out[0], 0xffff);
    EXPECT_EQ(out[1], 0x0000);
    PackRow(px, 2, D3DFMT_X1R5G5B5, false, 0, out);
    EXPECT_EQ(out[1], 0x8000);
    PackRow(px, 2, D3DFMT_A4R4G4B4, false, 0, out);
    EXPECT_EQ(out[0], 0xffff);
    const std::uint32_t mid = 0x80ff0000u;
    PackRow(&mid, 1, D3DFMT_A4R4G4B4, false, 0, out);
    EXPECT_EQ(out[0], 0x8f00);
    std::uint32_t x8;
    PackRow(&mid, 1, D3DFMT_X8R8G8B8, false, 0, &x8);
    EXPECT_EQ(x8, 0xffff0000u);

    // A level between two 4-bit steps: plain packing picks one, dithering mixes both so the
    // 4 x 4 block averages back to the source level.
    const std::uint32_t grey = 0xff000000u | (100u << 16);
    std::vector<std::uint32_t> row(4, grey);
    int plainLevels = 0, ditherSum = 0;
    for (int y = 0; y < 4; ++y) {
        std::uint16_t d[4];
        PackRow(row.data(), 4, D3DFMT_A4R4G4B4, true, y, d);
        std::uint16_t p[4];
        PackRow(row.data(), 4, D3DFMT_A4R4G4B4, false, y, p);
        for (int x = 0; x < 4; ++x) {
            ditherSum += (d[x] >> 8) & 15;
            plainLevels |= 1 << ((p[x] >> 8) & 15);
        }
    }
    EXPECT_EQ(__builtin_popcount(plainLevels), 1);
    EXPECT_NEAR(ditherSum / 16.0 * 17.0, 100.0, 4.0);

    // Unpacking inverts packing on the representable values.
    std::uint32_t back[2];
    PackRow(px, 2, D3DFMT_R5G6B5, false, 0, out);
    UnpackRow(out, 2, D3DFMT_R5G6B5, back);
    EXPECT_EQ(back[0], 0xffffffffu);
    EXPECT_EQ(back[1], 0xff000000u);
    EXPECT_EQ(BytesPerPixel(D3DFMT_D24S8), 0);
}

}  // namespace
