// alpha_channel.h - the two ways the alpha loaders fill the fourth byte of a B, G, R, A pixel
// array: from a grey mask image, or from the image's own brightness.
// Depends on: nothing but the base types.
#pragma once

#include <cstddef>

#include "platform/wintypes.h"

namespace velunar::alpha {

// alpha of each colour pixel = the first (blue) byte of the same mask pixel; masks are grey.
void FromMask(BYTE* colour, const BYTE* mask, std::size_t pixelCount);

// alpha = m when m = (blue + green + red) / 3 (integer, truncating) is at most 32, else 255: dark
// pixels fade out with their brightness, everything brighter is opaque.
void FromBrightness(BYTE* pixels, std::size_t pixelCount);

}  // namespace velunar::alpha
