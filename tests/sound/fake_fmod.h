// fake_fmod.h - a recording stand-in for the sound library, linked instead of the real one into
// the music player's state-machine test.
#pragma once

#include <string>
#include <vector>

namespace fake_fmod {

struct State {
    std::vector<std::string> calls;  // "FSOUND_Init(44100,16,0)", ...
    bool initResult = true;
    bool openResult = true;
    bool loadSongResult = true;
    int streamPlayResult = 0;
    signed char songPlayResult = 1;
    signed char songStopResult = 1;
    signed char streamCloseResult = 1;
    int streamTime = 1234;
    unsigned int streamPosition = 777;
    int order = 3;
    int row = 17;
};

State& Get();
void Reset();
bool Called(const std::string& prefix);

}  // namespace fake_fmod
