#include "fake_fmod.h"

#include <cstdarg>
#include <cstdio>

#include "platform/fsound/fmod.h"

namespace fake_fmod {
State& Get() {
    static State s;
    return s;
}
void Reset() { Get() = State{}; }
bool Called(const std::string& prefix) {
    for (const auto& c : Get().calls)
        if (c.rfind(prefix, 0) == 0) return true;
    return false;
}
std::vector<std::string> SetCalls() {
    std::vector<std::string> out;
    for (const auto& c : Get().calls)
        if (c.rfind("FSOUND_Set", 0) == 0 && c.rfind("FSOUND_SetHWND", 0) != 0 &&
            c.rfind("FSOUND_SetVolume", 0) != 0)
            out.push_back(c);
    return out;
}
}  // namespace fake_fmod

namespace {
using fake_fmod::Get;
void Log(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void Log(const char* fmt, ...) {
    char buf[256];
    va_list ap;
    va_start(ap, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    Get().calls.emplace_back(buf);
}
FSOUND_STREAM* const kStream = reinterpret_cast<FSOUND_STREAM*>(0x1000);
FMUSIC_MODULE* const kSong = reinterpret_cast<FMUSIC_MODULE*>(0x2000);
}  // namespace

signed char FSOUND_SetHWND(void* hwnd) {
    Log("FSOUND_SetHWND(%p)", hwnd);
    return TRUE;
}
signed char FSOUND_Init(int rate, int channels, unsigned int flags) {
    Log("FSOUND_Init(%d,%d,%u)", rate, channels, flags);
    return Get().initResult ? TRUE : FALSE;
}
void FSOUND_Close() { Log("FSOUND_Close()"); }
FSOUND_STREAM* FSOUND_Stream_OpenFile(const char* name, unsigned int mode, int memlength) {
    Log("FSOUND_Stream_OpenFile(%s,%u,%d)", name, mode, memlength);
    return Get().openResult ? kStream : nullptr;
}
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream) {
    Log("FSOUND_Stream_Play(%d,%s)", channel, stream == kStream ? "stream" : "?");
    return Get().streamPlayResult;
}
signed char FSOUND_Stream_Close(FSOUND_STREAM*) {
    Log("FSOUND_Stream_Close()");
    return Get().streamCloseResult;
}
int FSOUND_Stream_GetTime(FSOUND_STREAM*) {
    Log("FSOUND_Stream_GetTime()");
    return Get().streamTime;
}
unsigned int FSOUND_Stream_GetPosition(FSOUND_STREAM*) {
    Log("FSOUND_Stream_GetPosition()");
    return Get().streamPosition;
}
signed char FSOUND_Stream_SetPosition(FSOUND_STREAM*, unsigned int pos) {
    Log("FSOUND_Stream_SetPosition(%u)", pos);
    return TRUE;
}
signed char FSOUND_SetVolumeAbsolute(int channel, int vol) {
    Log("FSOUND_SetVolumeAbsolute(%d,%d)", channel, vol);
    return TRUE;
}
FMUSIC_MODULE* FMUSIC_LoadSong(const char* name) {
    Log("FMUSIC_LoadSong(%s)", name);
    return Get().loadSongResult ? kSong : nullptr;
}
signed char FMUSIC_FreeSong(FMUSIC_MODULE*) {
    Log("FMUSIC_FreeSong()");
    return TRUE;
}
signed char FMUSIC_PlaySong(FMUSIC_MODULE*) {
    Log("FMUSIC_PlaySong()");
    return Get().songPlayResult;
}
signed char FMUSIC_StopSong(FMUSIC_MODULE*) {
    Log("FMUSIC_StopSong()");
    return Get().songStopResult;
}
signed char FMUSIC_SetMasterVolume(FMUSIC_MODULE*, int volume) {
    Log("FMUSIC_SetMasterVolume(%d)", volume);
    return TRUE;
}
int FMUSIC_GetOrder(FMUSIC_MODULE*) {
    Log("FMUSIC_GetOrder()");
    return Get().order;
}
int FMUSIC_GetRow(FMUSIC_MODULE*) {
    Log("FMUSIC_GetRow()");
    return Get().row;
}
signed char FMUSIC_SetOrder(FMUSIC_MODULE*, int order) {
    Log("FMUSIC_SetOrder(%d)", order);
    return TRUE;
}

signed char FSOUND_SetOutput(int output) {
    Log("FSOUND_SetOutput(%d)", output);
    Get().output = output;
    return TRUE;
}
int FSOUND_GetOutput() { return Get().output; }
signed char FSOUND_SetDriver(int driver) {
    Log("FSOUND_SetDriver(%d)", driver);
    Get().driver = driver;
    return TRUE;
}
int FSOUND_GetDriver() { return Get().driver; }
int FSOUND_GetNumDrivers() {
    auto it = Get().drivers.find(Get().output);
    return it == Get().drivers.end() ? 0 : static_cast<int>(it->second.size());
}
const char* FSOUND_GetDriverName(int id) {
    auto it = Get().drivers.find(Get().output);
    if (it == Get().drivers.end() || id < 0 || id >= static_cast<int>(it->second.size())) return nullptr;
    return it->second[static_cast<size_t>(id)].c_str();
}
signed char FSOUND_SetMixer(int mixer) {
    Log("FSOUND_SetMixer(%d)", mixer);
    Get().mixer = mixer;
    return TRUE;
}
int FSOUND_GetMixer() { return Get().mixer; }
int FSOUND_GetOutputRate() { return Get().outputRate; }
