#include "platform/jpeg/jpeg.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "damage.h"

namespace {

namespace fs = std::filesystem;
using velunar::jpeg::Image;
using velunar::jpeg::Status;

std::string TmpPath(const char* name) {
    fs::create_directories(VELUNAR_TEST_TMP);
    return (fs::path(VELUNAR_TEST_TMP) / name).string();
}

std::vector<std::uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Flat colour blocks survive baseline compression within a few levels.
TEST(Jpeg, DecodesColourImageToBgrxTopRowFirst) {
    const std::uint8_t rgb[3 * 2 * 3] = {
        255, 0, 0,   0, 255, 0,   0, 0, 255,
        255, 255, 255, 0, 0, 0,   128, 128, 128,
    };
    const std::string path = TmpPath("c3x2.jpg");
    ASSERT_TRUE(velunar::jpeg::EncodeFile(path.c_str(), rgb, 3, 2, 100));

    Image img;
    std::string err = "stale";
    ASSERT_EQ(velunar::jpeg::DecodeFile(path.c_str(), img, &err), Status::Ok);
    EXPECT_TRUE(err.empty());
    EXPECT_EQ(img.width, 3);
    EXPECT_EQ(img.height, 2);
    EXPECT_EQ(img.channels, 3);
    ASSERT_EQ(img.bgrx.size(), 24u);
    for (std::size_t i = 3; i < img.bgrx.size(); i += 4) EXPECT_EQ(img.bgrx[i], 0) << i;
    // Chroma is subsampled, so only the brightness order of the pixels is reliable on 3x2.
    const auto luma = [&](int px) { return img.bgrx[px * 4] + img.bgrx[px * 4 + 1] + img.bgrx[px * 4 + 2]; };
    EXPECT_GT(luma(3), 700);  // white
    EXPECT_LT(luma(4), 60);   // black
    EXPECT_GT(luma(5), luma(4) + 150);
    EXPECT_LT(luma(5), luma(3) - 150);
}

TEST(Jpeg, ColourChannelsLandInBgrOrder) {
    std::vector<std::uint8_t> rgb(16 * 16 * 3);
    for (std::size_t i = 0; i < rgb.size(); i += 3) { rgb[i] = 250; rgb[i + 1] = 120; rgb[i + 2] = 10; }
    const std::string path = TmpPath("orange.jpg");
    ASSERT_TRUE(velunar::jpeg::EncodeFile(path.c_str(), rgb.data(), 16, 16, 95));
    Image img;
    ASSERT_EQ(velunar::jpeg::DecodeFile(path.c_str(), img, nullptr), Status::Ok);
    const std::uint8_t* px = &img.bgrx[(8 * 16 + 8) * 4];
    EXPECT_NEAR(px[0], 10, 6);
    EXPECT_NEAR(px[1], 120, 6);
    EXPECT_NEAR(px[2], 250, 6);
}

// One-component file written directly, as the alpha masks are.
std::vector<std::uint8_t> EncodeGrey(const std::uint8_t* grey, int w, int h) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* mem = nullptr;
    unsigned long memSize = 0;
    jpeg_mem_dest(&cinfo, &mem, &memSize);
    cinfo.image_width = static_cast<JDIMENSION>(w);
    cinfo.image_height = static_cast<JDIMENSION>(h);
    cinfo.input_components = 1;
    cinfo.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 100, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<std::uint8_t*>(grey) + cinfo.next_scanline * w;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<std::uint8_t> out(mem, mem + memSize);
    std::free(mem);
    return out;
}

TEST(Jpeg, GreyscaleIsReplicatedIntoBlueGreenRed) {
    const std::uint8_t grey[6] = {0, 40, 80, 120, 200, 255};
    const std::vector<std::uint8_t> file = EncodeGrey(grey, 3, 2);
    Image img;
    ASSERT_EQ(velunar::jpeg::DecodeMemory(file.data(), file.size(), img, nullptr), Status::Ok);
    EXPECT_EQ(img.channels, 1);
    EXPECT_EQ(img.width, 3);
    EXPECT_EQ(img.height, 2);
    ASSERT_EQ(img.bgrx.size(), 24u);
    for (int i = 0; i < 6; ++i) {
        const std::uint8_t* px = &img.bgrx[i * 4];
        EXPECT_NEAR(px[0], grey[i], 2) << i;
        EXPECT_EQ(px[0], px[1]);
        EXPECT_EQ(px[0], px[2]);
        EXPECT_EQ(px[3], 0);
    }
}

TEST(Jpeg, MissingFileIsNotFound) {
    Image img;
    std::string err;
    EXPECT_EQ(velunar::jpeg::DecodeFile(TmpPath("nope.jpg").c_str(), img, &err), Status::NotFound);
    EXPECT_FALSE(err.empty());
    EXPECT_EQ(img.width, 0);
    EXPECT_TRUE(img.bgrx.empty());
}

TEST(Jpeg, DamagedDataIsReportedNotFatal) {
    std::vector<std::uint8_t> rgb(32 * 32 * 3, 90);
    const std::string good = TmpPath("good.jpg");
    ASSERT_TRUE(velunar::jpeg::EncodeFile(good.c_str(), rgb.data(), 32, 32, 80));
    const std::vector<std::uint8_t> bytes = ReadAll(good);
    ASSERT_GT(bytes.size(), 200u);

    Image img;
    std::string err;
    // Not a JPEG at all.
    const std::string text = TmpPath("text.jpg");
    WriteAll(text, {'h', 'e', 'l', 'l', 'o', '\n'});
    EXPECT_EQ(velunar::jpeg::DecodeFile(text.c_str(), img, &err), Status::Corrupt);
    EXPECT_FALSE(err.empty());
    EXPECT_TRUE(img.bgrx.empty());

    // Header only: cut before the scan.
    EXPECT_EQ(velunar::jpeg::DecodeMemory(bytes.data(), 100, img, &err), Status::Corrupt);
    EXPECT_FALSE(err.empty());

    // Empty input.
    EXPECT_EQ(velunar::jpeg::DecodeMemory(bytes.data(), 0, img, &err), Status::Corrupt);
    EXPECT_EQ(velunar::jpeg::DecodeMemory(nullptr, 10, img, &err), Status::Corrupt);

    // A decoder that survives every cut point without crashing is the real guarantee.
    for (std::size_t cut = 1; cut < bytes.size(); cut += 7) {
        Image part;
        const Status s = velunar::jpeg::DecodeMemory(bytes.data(), cut, part, nullptr);
        if (s == Status::Ok) EXPECT_EQ(part.bgrx.size(), 32u * 32u * 4u);
        else EXPECT_TRUE(part.bgrx.empty());
    }

    // The decoder is usable again after a failure.
    EXPECT_EQ(velunar::jpeg::DecodeMemory(bytes.data(), bytes.size(), img, &err), Status::Ok);
    EXPECT_EQ(img.width, 32);
}

// Each small file cut at every length and with each byte inverted, from an exact-size buffer and
// from disk: every variant either decodes to whole rows or fails, and nothing reads past its end.
TEST(Jpeg, EveryCutAndInvertedByteDecodesOrFails) {
    std::vector<std::uint8_t> rgb(8 * 6 * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>(i * 37);
    const std::string colour = TmpPath("small.jpg");
    ASSERT_TRUE(velunar::jpeg::EncodeFile(colour.c_str(), rgb.data(), 8, 6, 90));
    const std::uint8_t grey[6] = {0, 40, 80, 120, 200, 255};
    const std::string damaged = TmpPath("damaged.jpg");
    for (const std::vector<std::uint8_t>& good : {ReadAll(colour), EncodeGrey(grey, 3, 2)}) {
        ASSERT_FALSE(good.empty());
        damage::ForEach(good, 1, [&](const damage::Bytes& bytes, const std::string& what) {
            Image img;
            // bytes holds exactly its size, so a read past the end is caught by the sanitizers.
            const Status s = velunar::jpeg::DecodeMemory(bytes.data(), bytes.size(), img, nullptr);
            if (s == Status::Ok) {
                EXPECT_EQ(img.bgrx.size(), static_cast<std::size_t>(img.width) * img.height * 4) << what;
            } else {
                EXPECT_TRUE(img.bgrx.empty()) << what;
            }
            WriteAll(damaged, bytes);
            EXPECT_EQ(velunar::jpeg::DecodeFile(damaged.c_str(), img, nullptr), s) << what;
        });
    }
}

}  // namespace
