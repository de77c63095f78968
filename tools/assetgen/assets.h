// assets.h - writes the whole data/ tree: pictures, meshes and the two INI files.
// Depends on: textures.h, mesh.h, inifiles.h, imagefile.h.
#pragma once

#include <string>
#include <vector>

namespace assetgen {

// Writes every data file under <root>/data/ with `threads` workers (at least 1). Returns the
// files that could not be written (empty on success).
std::vector<std::string> WriteDataTree(const std::string& root, unsigned threads);

}  // namespace assetgen
