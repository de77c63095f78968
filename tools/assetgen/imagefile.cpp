// imagefile.cpp - baseline JPEG and PNG writers.
#include "imagefile.h"

#include <cstdio>
#include <csetjmp>
#include <memory>
#include <vector>

#include <jpeglib.h>
#include <png.h>

namespace assetgen {
namespace {

struct FileCloser {
    void operator()(FILE* f) const { if (f) std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

struct JpegError {
    jpeg_error_mgr mgr;
    jmp_buf jump;
};

void OnJpegError(j_common_ptr info) { longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1); }

bool WriteJpegBytes(const std::string& path, const std::vector<uint8_t>& bytes, int w, int h, int comps, int quality) {
    FilePtr file(std::fopen(path.c_str(), "wb"));
    if (!file) return false;
    jpeg_compress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = OnJpegError;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file.get());
    cinfo.image_width = static_cast<JDIMENSION>(w);
    cinfo.image_height = static_cast<JDIMENSION>(h);
    cinfo.input_components = comps;
    cinfo.in_color_space = comps == 1 ? JCS_GRAYSCALE : JCS_RGB;
    // jpeg_set_defaults gives a baseline sequential stream; no progressive script is set.
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(bytes.data() + static_cast<size_t>(cinfo.next_scanline) * w * comps);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::ferror(file.get()) == 0;
}

}  // namespace

bool WriteJpeg(const std::string& path, const Image& img, int quality) {
    return WriteJpegBytes(path, ToBytes(img, false), img.w, img.h, 3, quality);
}

bool WriteAlphaJpeg(const std::string& path, const Image& img, int quality) {
    return WriteJpegBytes(path, AlphaBytes(img), img.w, img.h, 1, quality);
}

bool WritePng(const std::string& path, const Image& img, bool withAlpha) {
    FilePtr file(std::fopen(path.c_str(), "wb"));
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(img.w), static_cast<png_uint_32>(img.h), 8,
                 withAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<uint8_t> bytes = ToBytes(img, withAlpha);
    size_t stride = static_cast<size_t>(img.w) * (withAlpha ? 4 : 3);
    for (int y = 0; y < img.h; ++y) png_write_row(png, bytes.data() + stride * y);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return std::ferror(file.get()) == 0;
}

}  // namespace assetgen
