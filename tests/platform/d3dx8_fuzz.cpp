// libFuzzer target for the D3DX image loader: every image file the show reads (BMP, PNG, JPEG)
// through the decoders picked by content, and the BMP reader on its own. A decode either fails or
// yields exactly width x height pixels. The JPEG layer alone has a target of its own (jpeg_fuzz).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/d3dx8/image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velunar::d3dx::Bitmap b;
    if (velunar::d3dx::DecodeImageMemory(data, size, b, nullptr) == velunar::d3dx::DecodeResult::Ok &&
        b.argb.size() != static_cast<std::size_t>(b.width) * b.height)
        std::abort();
    if (velunar::d3dx::DecodeBmp(data, size, b, nullptr) == velunar::d3dx::DecodeResult::Ok &&
        b.argb.size() != static_cast<std::size_t>(b.width) * b.height)
        std::abort();
    return 0;
}
