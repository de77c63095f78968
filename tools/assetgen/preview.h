// preview.h - looking at the generated data: a contact sheet of every picture and a headless
// rendering of every mesh, both as PNG files.
// Depends on: imageread.h, mesh.h, text.h, imagefile.h.
#pragma once

#include <string>

namespace assetgen {

// Reads <root>/data and writes <root>/contact.png, <root>/meshes.png and <root>/bands.png (the
// band pictures as the screen shows them).
bool WritePreviews(const std::string& root);

}  // namespace assetgen
