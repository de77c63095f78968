// fsound_api.cpp - the FSOUND_/FMUSIC_ functions: FMOD 3's face over the one library instance.
// Handles are numbers that are never reused, so a stale handle fails instead of reaching freed memory.
#include <cstdint>

#include "platform/fsound/fmod.h"
#include "platform/fsound/fsound_ext.h"
#include "platform/fsound/library.h"

using velunar::fsound::Library;

struct FSOUND_DSPUNIT {
    int unused;
};

namespace {

FSOUND_DSPUNIT g_fftUnit{};

signed char Bool(bool b) { return b ? TRUE : FALSE; }
std::uintptr_t Id(const void* handle) { return reinterpret_cast<std::uintptr_t>(handle); }
template <typename T>
T* Handle(std::uintptr_t id) {
    return reinterpret_cast<T*>(id);
}

}  // namespace

signed char FSOUND_SetHWND(void* hwnd) {
    Library::Get().SetWindow(hwnd);
    return TRUE;
}
signed char FSOUND_SetOutput(int outputtype) { return Bool(Library::Get().SetOutput(outputtype)); }
int FSOUND_GetOutput() { return Library::Get().GetOutput(); }
signed char FSOUND_SetDriver(int driver) { return Bool(Library::Get().SetDriver(driver)); }
int FSOUND_GetDriver() { return Library::Get().GetDriver(); }
int FSOUND_GetNumDrivers() { return Library::Get().GetNumDrivers(); }
const char* FSOUND_GetDriverName(int id) { return Library::Get().GetDriverName(id); }
signed char FSOUND_SetMixer(int mixer) { return Bool(Library::Get().SetMixer(mixer)); }
int FSOUND_GetMixer() { return Library::Get().GetMixer(); }
int FSOUND_GetOutputRate() { return Library::Get().GetOutputRate(); }
signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int) {
    return Bool(Library::Get().Init(mixrate, maxsoftwarechannels));
}
void FSOUND_Close() { Library::Get().Close(); }

FSOUND_STREAM* FSOUND_Stream_OpenFile(const char* filename, unsigned int mode, int memlength) {
    return Handle<FSOUND_STREAM>(Library::Get().OpenStream(filename, mode, memlength));
}
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream) { return Library::Get().PlayStream(Id(stream), channel); }
signed char FSOUND_Stream_Stop(FSOUND_STREAM* stream) { return Bool(Library::Get().StopStream(Id(stream))); }
signed char FSOUND_Stream_Close(FSOUND_STREAM* stream) { return Bool(Library::Get().CloseStream(Id(stream))); }
int FSOUND_Stream_GetTime(FSOUND_STREAM* stream) { return Library::Get().StreamTimeMs(Id(stream)); }
unsigned int FSOUND_Stream_GetPosition(FSOUND_STREAM* stream) {
    std::int64_t pos = Library::Get().StreamPosition(Id(stream));
    return pos < 0 ? 0u : static_cast<unsigned int>(pos);
}
signed char FSOUND_Stream_SetPosition(FSOUND_STREAM* stream, unsigned int position) {
    return Bool(Library::Get().SetStreamPosition(Id(stream), position));
}
int FSOUND_Stream_GetLength(FSOUND_STREAM* stream) {
    std::int64_t n = Library::Get().StreamLength(Id(stream));
    return n < 0 ? 0 : static_cast<int>(n);
}
int FSOUND_Stream_GetLengthMs(FSOUND_STREAM* stream) {
    std::int64_t n = Library::Get().StreamLength(Id(stream));
    int rate = Library::Get().GetOutputRate();
    return n < 0 || rate <= 0 ? 0 : static_cast<int>(n * 1000 / rate);
}
signed char FSOUND_SetVolumeAbsolute(int channel, int vol) { return Bool(Library::Get().SetVolume(channel, vol)); }
int FSOUND_GetVolume(int channel) { return Library::Get().GetVolume(channel); }
signed char FSOUND_SetPaused(int channel, signed char paused) {
    return Bool(Library::Get().SetPaused(channel, paused != 0));
}
signed char FSOUND_GetPaused(int channel) { return Bool(Library::Get().GetPaused(channel)); }

FMUSIC_MODULE* FMUSIC_LoadSong(const char* name) { return Handle<FMUSIC_MODULE>(Library::Get().LoadSong(name)); }
signed char FMUSIC_FreeSong(FMUSIC_MODULE* mod) { return Bool(Library::Get().FreeSong(Id(mod))); }
signed char FMUSIC_PlaySong(FMUSIC_MODULE* mod) { return Bool(Library::Get().PlaySong(Id(mod))); }
signed char FMUSIC_StopSong(FMUSIC_MODULE* mod) { return Bool(Library::Get().StopSong(Id(mod))); }
signed char FMUSIC_SetMasterVolume(FMUSIC_MODULE* mod, int volume) {
    return Bool(Library::Get().SetSongVolume(Id(mod), volume));
}
int FMUSIC_GetOrder(FMUSIC_MODULE* mod) { return Library::Get().SongOrder(Id(mod)); }
int FMUSIC_GetRow(FMUSIC_MODULE* mod) { return Library::Get().SongRow(Id(mod)); }
signed char FMUSIC_SetOrder(FMUSIC_MODULE* mod, int order) { return Bool(Library::Get().SetSongOrder(Id(mod), order)); }
signed char FMUSIC_IsPlaying(FMUSIC_MODULE* mod) { return Bool(Library::Get().SongPlaying(Id(mod))); }

FSOUND_DSPUNIT* FSOUND_DSP_GetFFTUnit() { return &g_fftUnit; }
signed char FSOUND_DSP_SetActive(FSOUND_DSPUNIT* unit, signed char active) {
    if (unit != &g_fftUnit) return FALSE;
    Library::Get().SetFftActive(active != 0);
    return TRUE;
}
signed char FSOUND_DSP_GetActive(FSOUND_DSPUNIT* unit) {
    return Bool(unit == &g_fftUnit && Library::Get().FftActive());
}
float* FSOUND_DSP_GetSpectrum() { return Library::Get().Spectrum(); }

void FSOUND_Velunar_UseVirtualClock(bool on) { Library::Get().UseVirtualClock(on); }
bool FSOUND_Velunar_IsVirtualClock() { return Library::Get().IsVirtualClockRequested(); }
int FSOUND_Velunar_MixAt(float* out, int frames) { return Library::Get().MixAt(out, frames); }
int FSOUND_Velunar_MixFrom(long long offset, float* out, int frames) {
    return Library::Get().MixAt(out, frames, offset);
}
const char* FSOUND_Velunar_GetDeviceDriver() { return Library::Get().DeviceDriver(); }
void FSOUND_Velunar_Prefetch(const char* filename) { Library::Get().Prefetch(filename); }
