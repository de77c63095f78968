// library.h - the one sound library instance behind the FSOUND_/FMUSIC_ functions: the SDL audio
// device and its mixing callback, the open streams and songs, the heard position and the FFT unit.
// Depends on: pcm.h, module.h, fft_bands.h; SDL2 inside library.cpp and device.cpp.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/fsound/module.h"
#include "platform/fsound/pcm.h"
#include "platform/fsound/fft_bands.h"

namespace velunar::fsound {

// Where a playing sound stands. Frames are at the mixing rate. The device mixes ahead of what is
// heard by up to two buffers, so the heard position is derived from where the last callback began.
struct Voice {
    bool playing = false;
    // Next frame to mix (real device) or the furthest frame rendered (songs on the virtual clock).
    std::uint64_t mixPos = 0;
    // mixPos when the last callback began.
    std::uint64_t posAtCallback = 0;
    // The heard position never falls below this (set by Play, Stop and seeks) ...
    std::uint64_t floor = 0;
    // ... nor below the last one reported, so it never runs backwards between callbacks.
    std::uint64_t lastHeard = 0;
    // Virtual clock: position = basePos + elapsed since baseMs.
    std::uint64_t basePos = 0;
    std::uint32_t baseMs = 0;
    // Held after the last sample handed to the device: nothing more is mixed until resumed.
    bool paused = false;
};

struct Stream {
    Pcm pcm;  // at the mixing rate
    Voice voice;
    int channel = -1;
};

struct Song {
    static constexpr std::size_t kRingFrames = 1 << 16;
    std::unique_ptr<Module> module;
    Voice voice;
    int volume = 256;
    bool ended = false;
    // The song's most recent output, interleaved stereo, indexed by frame modulo kRingFrames.
    std::vector<float> ring = std::vector<float>(2 * kRingFrames, 0.0f);
};

class Library {
public:
    static Library& Get();

    // Set-up.
    void SetWindow(void* hwnd);
    bool SetOutput(int output);
    int GetOutput();
    bool SetDriver(int driver);
    int GetDriver();
    int GetNumDrivers();
    const char* GetDriverName(int id);
    bool SetMixer(int mixer);
    int GetMixer();
    int GetOutputRate();
    bool Init(int rate, int channels);
    void Close();
    void UseVirtualClock(bool on);
    bool IsVirtualClockRequested();
    const char* DeviceDriver();

    // Streams.
    std::uintptr_t OpenStream(const char* name, unsigned int mode, int memLength);
    // Decodes a sampled file on a thread of its own; OpenStream of that name then takes the result.
    void Prefetch(const char* name);
    int PlayStream(std::uintptr_t id, int channel);
    bool StopStream(std::uintptr_t id);
    bool CloseStream(std::uintptr_t id);
    int StreamTimeMs(std::uintptr_t id);
    std::int64_t StreamPosition(std::uintptr_t id);
    bool SetStreamPosition(std::uintptr_t id, std::uint64_t pos);
    std::int64_t StreamLength(std::uintptr_t id);
    bool SetVolume(int channel, int volume);
    int GetVolume(int channel);
    // Pauses or resumes the stream on that channel, or every stream (FSOUND_ALL), played or not.
    bool SetPaused(int channel, bool paused);
    bool GetPaused(int channel);

    // Songs.
    std::uintptr_t LoadSong(const char* name);
    bool FreeSong(std::uintptr_t id);
    bool PlaySong(std::uintptr_t id);
    bool StopSong(std::uintptr_t id);
    bool SetSongVolume(std::uintptr_t id, int volume);
    int SongOrder(std::uintptr_t id);
    int SongRow(std::uintptr_t id);
    bool SetSongOrder(std::uintptr_t id, int order);
    bool SongPlaying(std::uintptr_t id);

    // FFT unit and on-demand mixing.
    void SetFftActive(bool on);
    bool FftActive();
    float* Spectrum();
    int MixAt(float* out, int frames, std::int64_t offset = 0);

    // The device callback's body: mixes `frames` stereo frames of everything playing into `out`.
    // Public for the benchmark that measures the callback's share of a core.
    void Mix(float* out, int frames);

private:
    Library();
    ~Library();

    using Clock = std::chrono::steady_clock;

    // Device (device.cpp).
    bool BringUpDriver(const char* driver);
    void TakeDownDriver();
    bool OpenDevice(const char* driver, int rate, std::string& reason);
    static void Callback(void* self, std::uint8_t* bytes, int len);
    void RefreshDriverNames();
    const char* OutputDriverName(int output);

    // Positions (all with m_mu held).
    std::uint64_t Heard(Voice& v, std::uint64_t length);
    std::uint32_t NowMs() const;
    std::uint64_t VirtualTarget(const Voice& v) const;
    void RenderSongTo(Song& s, std::uint64_t target);
    void StartVoice(Voice& v);
    void FreezeVoice(Voice& v, std::uint64_t at);
    // Adds frames [from, from + count) of every audible sound to `stereo`.
    void Gather(std::int64_t offset, int count, float* stereo);
    Stream* FindStream(std::uintptr_t id);
    Song* FindSong(std::uintptr_t id);

    // A file decoded ahead by Prefetch: its name and, once the thread is done, the outcome.
    struct Decoded {
        bool ok = false;
        Pcm pcm;
    };
    std::mutex m_prefetchMu;
    std::string m_prefetchName;
    std::future<Decoded> m_prefetch;

    std::mutex m_mu;
    void* m_hwnd = nullptr;
    int m_output = -1;  // -1: SDL's own choice (SDL_AUDIODRIVER, then its list)
    int m_driver = 0;   // 0: the driver's default device; n: its device n - 1
    int m_mixer = 0;
    int m_rate = 44100;
    int m_channels = 16;
    bool m_initialised = false;
    bool m_virtualRequested = false;
    bool m_virtual = false;

    bool m_sdlUp = false;
    std::string m_sdlDriver;
    std::uint32_t m_device = 0;
    std::string m_deviceDriver;
    std::vector<std::string> m_driverNames;

    // Frames the device holds between the callback and the speaker.
    std::int64_t m_latency = 0;
    int m_callbackFrames = 0;
    Clock::time_point m_lastCallback{};
    bool m_sawCallback = false;
    std::vector<float> m_scratch;

    std::uintptr_t m_nextId = 1;
    std::map<std::uintptr_t, std::unique_ptr<Stream>> m_streams;
    std::map<std::uintptr_t, std::unique_ptr<Song>> m_songs;
    std::array<int, 256> m_volume{};

    bool m_fftActive = false;
    std::array<float, SpectrumAnalyser::kWindow * 2> m_windowStereo{};
    std::array<float, SpectrumAnalyser::kWindow> m_windowMono{};
    std::array<float, SpectrumAnalyser::kBands> m_spectrum{};
    std::unique_ptr<SpectrumAnalyser> m_analyser;
};

}  // namespace velunar::fsound
