// jpeg.cpp - decoding and encoding through libjpeg-turbo, its fatal errors turned into a Status.
#include "platform/jpeg/jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

#include <jpeglib.h>

namespace velunar::jpeg {
namespace {

// libjpeg's default error_exit calls exit(); ours jumps back to the caller instead.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnFatalError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (e.g. premature end of data) are not fatal; the decoder fills the rest with grey.
void OnMessage(j_common_ptr, int) {}

// A damaged header can claim 65535 x 65535; refuse before allocating gigabytes.
constexpr std::uint64_t kMaxPixels = 64ull * 1024 * 1024;

void SetError(std::string* errorText, const char* text) {
    if (errorText) *errorText = text;
}

// Kept free of C++ objects with destructors between setjmp and longjmp.
Status Decode(const std::uint8_t* data, std::size_t size, Image& out, std::string* errorText) {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnFatalError;
    err.pub.emit_message = OnMessage;
    std::vector<std::uint8_t>* pixels = &out.bgrx;

    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        out = Image{};
        SetError(errorText, err.message);
        return Status::Corrupt;
    }

    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    const bool grey = cinfo.jpeg_color_space == JCS_GRAYSCALE;
    cinfo.out_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&cinfo);

    const int w = static_cast<int>(cinfo.output_width);
    const int h = static_cast<int>(cinfo.output_height);
    const int comps = cinfo.output_components;
    if (static_cast<std::uint64_t>(w) * h > kMaxPixels) {
        jpeg_destroy_decompress(&cinfo);
        out = Image{};
        SetError(errorText, "image too large");
        return Status::Corrupt;
    }
    pixels->assign(static_cast<std::size_t>(w) * h * 4, 0);
    // Owned by the decoder's pool, so a jump out of a damaged scan leaks nothing.
    JSAMPARRAY rowBuf = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                   static_cast<JDIMENSION>(w * comps), 1);
    std::uint8_t* row = rowBuf[0];
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        jpeg_read_scanlines(&cinfo, rowBuf, 1);
        std::uint8_t* dst = pixels->data() + static_cast<std::size_t>(y) * w * 4;
        for (int x = 0; x < w; ++x, dst += 4) {
            if (comps == 1) {
                dst[0] = dst[1] = dst[2] = row[x];
            } else {
                dst[0] = row[x * 3 + 2];
                dst[1] = row[x * 3 + 1];
                dst[2] = row[x * 3 + 0];
            }
            dst[3] = 0;
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    out.width = w;
    out.height = h;
    out.channels = comps;
    if (errorText) errorText->clear();
    return Status::Ok;
}

}  // namespace

Status DecodeMemory(const std::uint8_t* data, std::size_t size, Image& out, std::string* errorText) {
    out = Image{};
    if (!data || size == 0) {
        SetError(errorText, "empty JPEG data");
        return Status::Corrupt;
    }
    return Decode(data, size, out, errorText);
}

Status DecodeFile(const char* path, Image& out, std::string* errorText) {
    out = Image{};
    std::ifstream in(path ? path : "", std::ios::binary);
    if (!path || !in) {
        SetError(errorText, "file not found");
        return Status::NotFound;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return DecodeMemory(bytes.data(), bytes.size(), out, errorText);
}

bool EncodeFile(const char* path, const std::uint8_t* rgb, int width, int height, int quality) {
    if (!path || !rgb || width <= 0 || height <= 0) return false;
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;

    jpeg_compress_struct cinfo{};
    ErrorManager err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnFatalError;
    err.pub.emit_message = OnMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::fclose(file);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW rows[1] = {const_cast<std::uint8_t*>(rgb) + static_cast<std::size_t>(cinfo.next_scanline) * width * 3};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(file) == 0;
}

}  // namespace velunar::jpeg
