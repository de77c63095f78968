// libFuzzer target for every image file the show reads: BMP, PNG and JPEG through the D3DX
// decoders, and JPEG through the decoder the alpha loaders use. A decode either fails or yields
// exactly width x height pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/d3dx8/image.h"
#include "platform/jpeg/jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velunar::d3dx::Bitmap b;
    if (velunar::d3dx::DecodeImageMemory(data, size, b, nullptr) == velunar::d3dx::DecodeResult::Ok &&
        b.argb.size() != static_cast<std::size_t>(b.width) * b.height)
        std::abort();
    if (velunar::d3dx::DecodeBmp(data, size, b, nullptr) == velunar::d3dx::DecodeResult::Ok &&
        b.argb.size() != static_cast<std::size_t>(b.width) * b.height)
        std::abort();
    velunar::jpeg::Image img;
    if (velunar::jpeg::DecodeMemory(data, size, img, nullptr) == velunar::jpeg::Status::Ok &&
        img.bgrx.size() != static_cast<std::size_t>(img.width) * img.height * 4)
        std::abort();
    return 0;
}
