// alpha_channel.cpp - mask and brightness alpha for the texture table's alpha loaders.
#include "resources/alpha_channel.h"

namespace velunar::alpha {

void FromMask(BYTE* colour, const BYTE* mask, std::size_t pixelCount) {
    for (std::size_t i = 0; i < pixelCount; ++i) colour[i * 4 + 3] = mask[i * 4];
}

void FromBrightness(BYTE* pixels, std::size_t pixelCount) {
    for (std::size_t i = 0; i < pixelCount; ++i) {
        BYTE* p = pixels + i * 4;
        const int mean = (p[0] + p[1] + p[2]) / 3;
        p[3] = static_cast<BYTE>(mean > 32 ? 255 : mean);
    }
}

}  // namespace velunar::alpha
