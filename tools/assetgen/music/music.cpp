#include "music/music.h"

#include "music/mp3_writer.h"
#include "music/track.h"

bool WriteMusicTrack(const std::string& mp3Path) {
    const music::Stereo track = music::RenderTrack(2);
    return music::WriteMp3(mp3Path, track.l, track.r);
}
