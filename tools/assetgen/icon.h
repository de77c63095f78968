// icon.h - the program's icon for desktop menus: the show's glowing tile under a blue flare,
// the logo's V on top, in a rounded square.
// Depends on: image.h, textures.h, text.h.
#pragma once

#include <string>

#include "image.h"

namespace assetgen {

// The icon at size x size pixels (drawn four times larger and box-filtered down), RGBA.
Image MakeIcon(int size);

// Writes <dir>/velunar-<N>.png for the menu sizes 48, 128 and 256; false when one cannot be written.
bool WriteIcons(const std::string& dir);

}  // namespace assetgen
