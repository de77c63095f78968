// libFuzzer target for the JPEG decoder layer the alpha loaders read through: any bytes either
// decode to exactly width x height pixels of four bytes or fail with nothing kept.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/jpeg/jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velunar::jpeg::Image img;
    if (velunar::jpeg::DecodeMemory(data, size, img, nullptr) == velunar::jpeg::Status::Ok) {
        if (img.width <= 0 || img.height <= 0 ||
            img.bgrx.size() != static_cast<std::size_t>(img.width) * img.height * 4)
            std::abort();
    } else if (!img.bgrx.empty()) {
        std::abort();
    }
    return 0;
}
