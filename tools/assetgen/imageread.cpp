// imageread.cpp - JPEG and PNG decoding into RGBA bytes.
#include "imageread.h"

#include <csetjmp>
#include <cstdio>
#include <memory>

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
void Quiet(j_common_ptr) {}

}  // namespace

bool ReadJpeg(const std::string& path, Decoded& out) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    jpeg_decompress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = OnJpegError;
    err.mgr.output_message = Quiet;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file.get());
    jpeg_read_header(&cinfo, TRUE);
    out.progressive = jpeg_has_multiple_scans(&cinfo);
    out.channels = cinfo.num_components;
    jpeg_start_decompress(&cinfo);
    out.w = static_cast<int>(cinfo.output_width);
    out.h = static_cast<int>(cinfo.output_height);
    int comps = cinfo.output_components;
    std::vector<uint8_t> row(static_cast<size_t>(out.w) * comps);
    out.rgba.assign(static_cast<size_t>(out.w) * out.h * 4, 255);
    while (cinfo.output_scanline < cinfo.output_height) {
        int y = static_cast<int>(cinfo.output_scanline);
        JSAMPROW r = row.data();
        jpeg_read_scanlines(&cinfo, &r, 1);
        for (int x = 0; x < out.w; ++x)
            for (int c = 0; c < 3; ++c) out.rgba[(static_cast<size_t>(y) * out.w + x) * 4 + c] = row[static_cast<size_t>(x) * comps + (comps == 1 ? 0 : c)];
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool ReadPng(const std::string& path, Decoded& out) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file.get());
    png_read_info(png, info);
    out.w = static_cast<int>(png_get_image_width(png, info));
    out.h = static_cast<int>(png_get_image_height(png, info));
    out.channels = png_get_channels(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xff, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    out.rgba.assign(static_cast<size_t>(out.w) * out.h * 4, 0);
    std::vector<png_bytep> rows(static_cast<size_t>(out.h));
    for (int y = 0; y < out.h; ++y) rows[static_cast<size_t>(y)] = out.rgba.data() + static_cast<size_t>(y) * out.w * 4;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

bool ReadImage(const std::string& path, Decoded& out) {
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".png") == 0) return ReadPng(path, out);
    return ReadJpeg(path, out);
}

}  // namespace assetgen
