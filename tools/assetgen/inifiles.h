// inifiles.h - the text of data/layer.ini and data/napisy.ini.
// Depends on: the C++ standard library only.
#pragma once

#include <string>

namespace assetgen {

// The image layers: two strip pictures of four strips each and the layer timetable inside fx02's
// window (demo milliseconds 27345 ... 45900), in the reader's line syntax.
std::string LayerIni();
// The captions of fx03: one short line each, printable ASCII.
std::string CaptionsIni();

}  // namespace assetgen
