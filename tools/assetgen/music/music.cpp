#include "music/music.h"

bool WriteMusicTrack(const std::string&) { return false; }
