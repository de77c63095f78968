// image.cpp - PNG through libpng's simplified API, JPEG through libjpeg's stdio source and
// destination.
#include "support/image.h"

#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <cstdio>

namespace velunar_test {

Image::Image(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b)
    : width(w), height(h), rgb(static_cast<std::size_t>(w) * h * 3) {
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        rgb[i] = r;
        rgb[i + 1] = g;
        rgb[i + 2] = b;
    }
}

double Image::Mean(int x0, int y0, int x1, int y1) const {
    double sum = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::uint8_t* p = at(x, y);
            sum += p[0] + p[1] + p[2];
        }
    return sum / (3.0 * (x1 - x0) * (y1 - y0));
}

int Image::Max(int x0, int y0, int x1, int y1) const {
    int m = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::uint8_t* p = at(x, y);
            m = std::max({m, int(p[0]), int(p[1]), int(p[2])});
        }
    return m;
}

Image Image::Rows(int y0, int y1) const {
    Image out;
    out.width = width;
    out.height = y1 - y0;
    out.rgb.assign(rgb.begin() + static_cast<std::ptrdiff_t>(y0) * width * 3,
                   rgb.begin() + static_cast<std::ptrdiff_t>(y1) * width * 3);
    return out;
}

Image ReadPng(const std::string& path) {
    Image f;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return f;
    image.format = PNG_FORMAT_RGB;
    f.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, f.rgb.data(), 0, nullptr)) return {};
    f.width = static_cast<int>(image.width);
    f.height = static_cast<int>(image.height);
    return f;
}

Image ReadJpeg(const std::string& path) {
    Image f;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return f;
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    f.width = static_cast<int>(cinfo.output_width);
    f.height = static_cast<int>(cinfo.output_height);
    f.rgb.resize(static_cast<std::size_t>(f.width) * f.height * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = f.at(0, static_cast<int>(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(file);
    return f;
}

bool WritePng(const std::string& path, const Image& image, bool smallest) {
    if (!smallest) {
        png_image png{};
        png.version = PNG_IMAGE_VERSION;
        png.width = static_cast<png_uint_32>(image.width);
        png.height = static_cast<png_uint_32>(image.height);
        png.format = PNG_FORMAT_RGB;
        return png_image_write_to_file(&png, path.c_str(), 0, image.rgb.data(), 0, nullptr) != 0;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    volatile bool ok = false;  // kept across libpng's longjmp
    if (info && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_compression_level(png, 9);
        png_set_filter(png, 0, PNG_ALL_FILTERS);
        png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < image.height; ++y) png_write_row(png, image.at(0, y));
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && ok;
}

bool WriteJpeg(const std::string& path, const Image& image, int quality) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, file);
    c.image_width = static_cast<JDIMENSION>(image.width);
    c.image_height = static_cast<JDIMENSION>(image.height);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<std::uint8_t*>(image.at(0, static_cast<int>(c.next_scanline)));
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    return std::fclose(file) == 0;
}

}  // namespace velunar_test
