// PNG through libpng's simplified interface, which keeps its longjmp error handling to itself.
#include <png.h>

#include "platform/d3dx8/image.h"

namespace velunar::d3dx {

DecodeResult DecodePng(const std::uint8_t* data, std::size_t size, Bitmap& out, std::string* errorText) {
    out = Bitmap{};
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!data || !png_image_begin_read_from_memory(&image, data, size)) {
        if (errorText) *errorText = data ? image.message : "no PNG data";
        png_image_free(&image);
        return DecodeResult::Corrupt;
    }
    // A palette with transparency or a tRNS chunk also counts as alpha.
    const bool hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    if (image.width == 0 || image.height == 0 ||
        static_cast<std::uint64_t>(image.width) * image.height > kMaxImagePixels) {
        if (errorText) *errorText = "PNG size invalid";
        png_image_free(&image);
        return DecodeResult::Corrupt;
    }
    // BGRA bytes in memory are 0xAARRGGBB words on a little-endian machine.
    image.format = PNG_FORMAT_BGRA;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        if (errorText) *errorText = image.message;
        png_image_free(&image);
        return DecodeResult::Corrupt;
    }
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.hasAlpha = hasAlpha;
    out.argb = std::move(pixels);
    if (errorText) errorText->clear();
    return DecodeResult::Ok;
}

bool WritePng(const char* path, const Bitmap& bitmap) {
    if (!path || bitmap.width <= 0 || bitmap.height <= 0 ||
        bitmap.argb.size() != static_cast<std::size_t>(bitmap.width) * bitmap.height)
        return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(bitmap.width);
    image.height = static_cast<png_uint_32>(bitmap.height);
    int ok;
    if (bitmap.hasAlpha) {
        image.format = PNG_FORMAT_BGRA;
        ok = png_image_write_to_file(&image, path, 0, bitmap.argb.data(), 0, nullptr);
    } else {
        image.format = PNG_FORMAT_BGR;
        std::vector<std::uint8_t> bgr(bitmap.argb.size() * 3);
        for (std::size_t i = 0; i < bitmap.argb.size(); ++i) {
            bgr[3 * i + 0] = bitmap.argb[i] & 0xff;
            bgr[3 * i + 1] = (bitmap.argb[i] >> 8) & 0xff;
            bgr[3 * i + 2] = (bitmap.argb[i] >> 16) & 0xff;
        }
        ok = png_image_write_to_file(&image, path, 0, bgr.data(), 0, nullptr);
    }
    png_image_free(&image);
    return ok != 0;
}

}  // namespace velunar::d3dx
