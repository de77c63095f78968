// Image files by content: the first bytes decide the decoder, whatever the name says.
#include <fstream>
#include <iterator>

#include "platform/d3dx8/image.h"
#include "platform/jpeg/jpeg.h"

namespace velunar::d3dx {
namespace {

DecodeResult DecodeJpeg(const std::uint8_t* data, std::size_t size, Bitmap& out, std::string* errorText) {
    jpeg::Image img;
    const jpeg::Status st = jpeg::DecodeMemory(data, size, img, errorText);
    if (st != jpeg::Status::Ok) return DecodeResult::Corrupt;
    out.width = img.width;
    out.height = img.height;
    out.hasAlpha = false;
    out.argb.resize(static_cast<std::size_t>(img.width) * img.height);
    const std::uint8_t* p = img.bgrx.data();
    for (auto& px : out.argb) {
        px = 0xff000000u | (static_cast<std::uint32_t>(p[2]) << 16) | (p[1] << 8) | p[0];
        p += 4;
    }
    return DecodeResult::Ok;
}

}  // namespace

DecodeResult DecodeImageMemory(const std::uint8_t* data, std::size_t size, Bitmap& out, std::string* errorText) {
    out = Bitmap{};
    if (data && size >= 3 && data[0] == 0xff && data[1] == 0xd8 && data[2] == 0xff)
        return DecodeJpeg(data, size, out, errorText);
    if (data && size >= 8 && data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G')
        return DecodePng(data, size, out, errorText);
    if (data && size >= 2 && data[0] == 'B' && data[1] == 'M') return DecodeBmp(data, size, out, errorText);
    if (errorText) *errorText = "unrecognised image format";
    return DecodeResult::Unsupported;
}

DecodeResult DecodeImageFile(const char* path, Bitmap& out, std::string* errorText) {
    out = Bitmap{};
    std::ifstream in(path ? path : "", std::ios::binary);
    if (!path || !in) {
        if (errorText) *errorText = "file not found";
        return DecodeResult::NotFound;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return DecodeImageMemory(bytes.data(), bytes.size(), out, errorText);
}

bool WriteJpeg(const char* path, const Bitmap& image, int quality) {
    if (!path || image.width <= 0 || image.height <= 0 ||
        image.argb.size() != static_cast<std::size_t>(image.width) * image.height)
        return false;
    std::vector<std::uint8_t> rgb(image.argb.size() * 3);
    for (std::size_t i = 0; i < image.argb.size(); ++i) {
        rgb[3 * i + 0] = (image.argb[i] >> 16) & 0xff;
        rgb[3 * i + 1] = (image.argb[i] >> 8) & 0xff;
        rgb[3 * i + 2] = image.argb[i] & 0xff;
    }
    return jpeg::EncodeFile(path, rgb.data(), image.width, image.height, quality);
}

}  // namespace velunar::d3dx
