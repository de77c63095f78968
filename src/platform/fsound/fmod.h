// fmod.h - the FMOD 3 subset the demo calls, spelled as FMOD 3 spells it, over SDL2 audio output,
// libmpg123 streams (decoded whole at open), libopenmpt modules and an FFTW spectrum.
// Depends on: platform/wintypes.h. Only fsound/*.cpp sees SDL, mpg123, openmpt or FFTW.
//
// Conventions kept from FMOD 3: boolean results are signed char TRUE (1) / FALSE (0); handles are
// opaque pointers, null on failure; volumes are 0 ... 256. Handles stay safe to pass after they
// were closed or after FSOUND_Close: such calls fail instead of touching freed memory.
#pragma once

#include "platform/wintypes.h"

struct FSOUND_STREAM;
struct FMUSIC_MODULE;
struct FSOUND_DSPUNIT;

// Channel selectors.
constexpr int FSOUND_FREE = -1;
constexpr int FSOUND_UNMANAGED = -2;
constexpr int FSOUND_ALL = -3;

// Sample and stream mode bits (FMOD 3 values).
constexpr unsigned int FSOUND_LOOP_OFF = 0x00000001;
constexpr unsigned int FSOUND_LOOP_NORMAL = 0x00000002;
constexpr unsigned int FSOUND_8BITS = 0x00000008;
constexpr unsigned int FSOUND_16BITS = 0x00000010;
constexpr unsigned int FSOUND_MONO = 0x00000020;
constexpr unsigned int FSOUND_STEREO = 0x00000040;
constexpr unsigned int FSOUND_UNSIGNED = 0x00000080;
constexpr unsigned int FSOUND_SIGNED = 0x00000100;
// The file name is a pointer to `memlength` bytes of the file in memory.
constexpr unsigned int FSOUND_LOADMEMORY = 0x00008000;
constexpr unsigned int FSOUND_NORMAL = FSOUND_16BITS | FSOUND_SIGNED | FSOUND_MONO;  // 304

// Output types. Ours: each selects one of SDL's audio drivers (see FSOUND_SetOutput).
enum FSOUND_OUTPUTTYPES {
    FSOUND_OUTPUT_NOSOUND = 0,
    FSOUND_OUTPUT_WINMM = 1,
    FSOUND_OUTPUT_DSOUND = 2,
    FSOUND_OUTPUT_A3D = 3,
    FSOUND_OUTPUT_OSS = 4,
    FSOUND_OUTPUT_ESD = 5,
    FSOUND_OUTPUT_ALSA = 6,
};

// Mixer kinds. Ours: the "no interpolation" kinds resample by nearest sample, the others by
// cubic interpolation; modules get the matching libopenmpt interpolation filter.
enum FSOUND_MIXERTYPES {
    FSOUND_MIXER_AUTODETECT = 0,
    FSOUND_MIXER_BLENDMODE = 1,
    FSOUND_MIXER_MMXP5 = 2,
    FSOUND_MIXER_MMXP6 = 3,
    FSOUND_MIXER_QUALITY_AUTODETECT = 4,
    FSOUND_MIXER_QUALITY_FPU = 5,
    FSOUND_MIXER_QUALITY_MMXP5 = 6,
    FSOUND_MIXER_QUALITY_MMXP6 = 7,
};

// Set-up (before FSOUND_Init) and shut-down.
signed char FSOUND_SetHWND(void* hwnd);
signed char FSOUND_SetOutput(int outputtype);
int FSOUND_GetOutput();
signed char FSOUND_SetDriver(int driver);
int FSOUND_GetDriver();
int FSOUND_GetNumDrivers();
const char* FSOUND_GetDriverName(int id);
signed char FSOUND_SetMixer(int mixer);
int FSOUND_GetMixer();
int FSOUND_GetOutputRate();
signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int flags);
void FSOUND_Close();

// Streams: sampled files (MPEG audio, WAV, headerless raw), decoded whole at open.
FSOUND_STREAM* FSOUND_Stream_OpenFile(const char* filename, unsigned int mode, int memlength);
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);
signed char FSOUND_Stream_Stop(FSOUND_STREAM* stream);
signed char FSOUND_Stream_Close(FSOUND_STREAM* stream);
// Milliseconds heard so far.
int FSOUND_Stream_GetTime(FSOUND_STREAM* stream);
// Position and length in PCM samples (frames at the mixing rate).
unsigned int FSOUND_Stream_GetPosition(FSOUND_STREAM* stream);
signed char FSOUND_Stream_SetPosition(FSOUND_STREAM* stream, unsigned int position);
int FSOUND_Stream_GetLength(FSOUND_STREAM* stream);
int FSOUND_Stream_GetLengthMs(FSOUND_STREAM* stream);
signed char FSOUND_SetVolumeAbsolute(int channel, int vol);
int FSOUND_GetVolume(int channel);
// Pauses or resumes a channel's stream (FSOUND_ALL: every stream); it resumes with the sample after
// the last one played.
signed char FSOUND_SetPaused(int channel, signed char paused);
signed char FSOUND_GetPaused(int channel);

// Modules (tracker formats), through libopenmpt.
FMUSIC_MODULE* FMUSIC_LoadSong(const char* name);
signed char FMUSIC_FreeSong(FMUSIC_MODULE* mod);
signed char FMUSIC_PlaySong(FMUSIC_MODULE* mod);
signed char FMUSIC_StopSong(FMUSIC_MODULE* mod);
signed char FMUSIC_SetMasterVolume(FMUSIC_MODULE* mod, int volume);
int FMUSIC_GetOrder(FMUSIC_MODULE* mod);
int FMUSIC_GetRow(FMUSIC_MODULE* mod);
signed char FMUSIC_SetOrder(FMUSIC_MODULE* mod, int order);
signed char FMUSIC_IsPlaying(FMUSIC_MODULE* mod);

// Spectrum analysis of the output.
FSOUND_DSPUNIT* FSOUND_DSP_GetFFTUnit();
signed char FSOUND_DSP_SetActive(FSOUND_DSPUNIT* unit, signed char active);
signed char FSOUND_DSP_GetActive(FSOUND_DSPUNIT* unit);
// 512 levels in 0 ... 1, bands from 0 Hz to half the mixing rate; null while the FFT unit is off.
// The array is the library's and is overwritten by the next call.
float* FSOUND_DSP_GetSpectrum();
