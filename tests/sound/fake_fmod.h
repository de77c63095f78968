// fake_fmod.h - a recording stand-in for the sound library, linked instead of the real one into
// the music player's state-machine test.
#pragma once

#include <map>
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
    // Set-up state: what the getters report, changed by the setters.
    int output = 2;
    int driver = 0;
    int mixer = 0;
    int outputRate = 44100;
    // The drivers each output type lists.
    std::map<int, std::vector<std::string>> drivers = {
        {1, {"Wave mapper", "Wave speakers"}},
        {2, {"Primary sound driver", "Speakers", "Headphones"}},
        {3, {"A3D card"}},
    };
};

State& Get();
void Reset();
bool Called(const std::string& prefix);
// The set-up calls (FSOUND_Set...) in order.
std::vector<std::string> SetCalls();

}  // namespace fake_fmod
