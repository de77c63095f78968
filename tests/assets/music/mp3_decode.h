// mp3_decode.h - decodes an MP3 file to float stereo with libmpg123, gapless (encoder delay and
// padding trimmed), for the music tests.
#pragma once

#include <string>
#include <vector>

struct DecodedPcm {
    long rate = 0;
    int channels = 0;
    std::vector<float> left, right;
};

bool DecodeMp3(const std::string& path, DecodedPcm& out);
