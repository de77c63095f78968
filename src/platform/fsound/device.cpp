// device.cpp - the SDL side of the sound library: audio drivers as outputs, their devices as
// drivers, the device opened by FSOUND_Init and the callback that mixes into it.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "platform/fsound/fmod.h"
#include "platform/fsound/library.h"

namespace velunar::fsound {

namespace {

// FMOD's output types as SDL audio drivers: wave-out, the plain device interface, is ALSA;
// DirectSound, the mixing service every program shares, is PulseAudio; A3D, the newer
// positional-sound layer, is PipeWire; the Unix types name their own.
const char* const kOutputDrivers[] = {
    "dummy",       // FSOUND_OUTPUT_NOSOUND
    "alsa",        // FSOUND_OUTPUT_WINMM
    "pulseaudio",  // FSOUND_OUTPUT_DSOUND
    "pipewire",    // FSOUND_OUTPUT_A3D
    "dsp",         // FSOUND_OUTPUT_OSS
    "esd",         // FSOUND_OUTPUT_ESD
    "alsa",        // FSOUND_OUTPUT_ALSA
};

}  // namespace

const char* Library::OutputDriverName(int output) {
    if (output < 0 || output >= static_cast<int>(std::size(kOutputDrivers))) return nullptr;
    return kOutputDrivers[output];
}

void Library::SetWindow(void* hwnd) {
    std::lock_guard lock(m_mu);
    m_hwnd = hwnd;
}

bool Library::SetOutput(int output) {
    // A type whose driver this SDL lacks is still taken: FSOUND_Init then falls back to silence.
    if (m_initialised || output < -1 || (output >= 0 && !OutputDriverName(output))) return false;
    if (output != m_output) {
        m_output = output;
        m_driver = 0;
        m_driverNames.clear();
        TakeDownDriver();
    }
    return true;
}

int Library::GetOutput() {
    if (m_initialised && !m_virtual && m_output < 0) {
        // Report the driver SDL chose, in the numbering of SetOutput.
        for (int i = 0; i < static_cast<int>(std::size(kOutputDrivers)); ++i)
            if (m_deviceDriver == kOutputDrivers[i]) return i;
    }
    return m_output;
}

bool Library::SetDriver(int driver) {
    if (m_initialised || driver < 0) return false;
    m_driver = driver;
    return true;
}

int Library::GetDriver() { return m_driver; }

int Library::GetNumDrivers() {
    RefreshDriverNames();
    return static_cast<int>(m_driverNames.size());
}

const char* Library::GetDriverName(int id) {
    if (m_driverNames.empty()) RefreshDriverNames();
    if (id < 0 || id >= static_cast<int>(m_driverNames.size())) return nullptr;
    return m_driverNames[id].c_str();
}

bool Library::SetMixer(int mixer) {
    if (mixer < FSOUND_MIXER_AUTODETECT || mixer > FSOUND_MIXER_QUALITY_MMXP6) return false;
    std::lock_guard lock(m_mu);
    m_mixer = mixer;
    return true;
}

int Library::GetMixer() { return m_mixer; }

int Library::GetOutputRate() { return m_rate; }

void Library::UseVirtualClock(bool on) {
    std::lock_guard lock(m_mu);
    m_virtualRequested = on;
}

bool Library::IsVirtualClockRequested() {
    std::lock_guard lock(m_mu);
    return m_virtualRequested;
}

const char* Library::DeviceDriver() { return m_deviceDriver.c_str(); }

bool Library::BringUpDriver(const char* driver) {
    if (m_sdlUp && (!driver || m_sdlDriver == driver)) return true;
    TakeDownDriver();
    if (SDL_AudioInit(driver) != 0) return false;
    m_sdlUp = true;
    const char* current = SDL_GetCurrentAudioDriver();
    m_sdlDriver = current ? current : "";
    return true;
}

void Library::TakeDownDriver() {
    if (!m_sdlUp) return;
    SDL_AudioQuit();
    m_sdlUp = false;
    m_sdlDriver.clear();
}

void Library::RefreshDriverNames() {
    m_driverNames.assign(1, "Default device");
    if (!BringUpDriver(OutputDriverName(m_output))) return;
    // Drivers that cannot list their devices (some sound servers) report -1: only the default.
    int n = SDL_GetNumAudioDevices(0);
    for (int i = 0; i < n; ++i) {
        const char* name = SDL_GetAudioDeviceName(i, 0);
        m_driverNames.emplace_back(name ? name : "");
    }
}

bool Library::OpenDevice(const char* driver, int rate, std::string& reason) {
    // The device by the name GetDriverName reported for the chosen driver (0 is the default
    // device); the dummy fall-back has only its default.
    std::string deviceName;
    if (m_driver > 0 && driver == OutputDriverName(m_output)) {
        if (m_driverNames.empty()) RefreshDriverNames();
        if (m_driver < static_cast<int>(m_driverNames.size())) deviceName = m_driverNames[m_driver];
    }
    if (!BringUpDriver(driver)) {
        reason = SDL_GetError();
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    // About 23 ms at 44.1 kHz: short enough for the spectrum to follow the beat.
    want.samples = 1024;
    want.callback = &Library::Callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts, so the mix is always float stereo at our rate.
    SDL_AudioDeviceID dev =
        SDL_OpenAudioDevice(deviceName.empty() ? nullptr : deviceName.c_str(), 0, &want, &have, 0);
    if (dev == 0) {
        reason = SDL_GetError();
        TakeDownDriver();
        return false;
    }
    {
        std::lock_guard lock(m_mu);
        m_device = dev;
        m_deviceDriver = m_sdlDriver;
        m_latency = have.samples;
        m_callbackFrames = have.samples;
        m_sawCallback = false;
        m_scratch.assign(static_cast<std::size_t>(have.samples) * 2, 0.0f);
    }
    SDL_PauseAudioDevice(dev, 0);
    return true;
}

void Library::Callback(void* self, std::uint8_t* bytes, int len) {
    static_cast<Library*>(self)->Mix(reinterpret_cast<float*>(bytes), len / static_cast<int>(2 * sizeof(float)));
}

void Library::Mix(float* out, int frames) {
    std::fill(out, out + 2 * frames, 0.0f);
    std::lock_guard lock(m_mu);
    m_lastCallback = Clock::now();
    m_sawCallback = true;
    m_callbackFrames = frames;
    for (auto& [id, s] : m_streams) {
        Voice& v = s->voice;
        v.posAtCallback = v.mixPos;
        if (!v.playing || v.paused) continue;
        const std::uint64_t length = s->pcm.Frames();
        const int n = static_cast<int>(std::min<std::uint64_t>(frames, length - std::min(length, v.mixPos)));
        const float gain = m_volume[s->channel] / (256.0f * 32768.0f);
        const std::int16_t* src = s->pcm.samples.data() + 2 * v.mixPos;
        for (int i = 0; i < 2 * n; ++i) out[i] += src[i] * gain;
        v.mixPos += n;
        if (v.mixPos >= length) {
            v.playing = false;  // the end of the track frees its channel
            s->channel = -1;
        }
    }
    for (auto& [id, s] : m_songs) {
        Voice& v = s->voice;
        v.posAtCallback = v.mixPos;
        if (!v.playing) continue;
        if (m_scratch.size() < static_cast<std::size_t>(2 * frames)) m_scratch.resize(2 * frames);
        const int n = s->module->Render(m_rate, m_scratch.data(), frames);
        const float gain = s->volume / 256.0f;
        for (int i = 0; i < n; ++i) {
            float* slot = &s->ring[2 * ((v.mixPos + i) % Song::kRingFrames)];
            slot[0] = m_scratch[2 * i] * gain;
            slot[1] = m_scratch[2 * i + 1] * gain;
            out[2 * i] += slot[0];
            out[2 * i + 1] += slot[1];
        }
        v.mixPos += n;
        if (n < frames) {
            v.playing = false;
            s->ended = true;
        }
    }
    for (int i = 0; i < 2 * frames; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
}

bool Library::Init(int rate, int channels) {
    if (m_initialised) Close();
    if (rate < 4000 || rate > 192000 || channels < 1) return false;
    bool isVirtual;
    {
        std::lock_guard lock(m_mu);
        m_rate = rate;
        m_channels = std::min(channels, static_cast<int>(m_volume.size()));
        m_volume.fill(256);
        isVirtual = m_virtualRequested;
    }
    if (!isVirtual) {
        std::string reason;
        if (!OpenDevice(OutputDriverName(m_output), rate, reason)) {
            // The music clock and the spectrum go on without a device.
            std::fprintf(stderr, "velunar: no sound device (%s); playing silently on the dummy driver\n",
                         reason.c_str());
            if (!OpenDevice("dummy", rate, reason)) return false;
        }
    }
    std::lock_guard lock(m_mu);
    m_virtual = isVirtual;
    m_initialised = true;
    if (!m_analyser) m_analyser = std::make_unique<SpectrumAnalyser>();
    return true;
}

void Library::Close() {
    std::uint32_t dev;
    {
        std::lock_guard lock(m_mu);
        dev = m_device;
        m_device = 0;
    }
    // Outside the lock: closing waits for a callback in flight, which takes the lock.
    if (dev) SDL_CloseAudioDevice(dev);
    TakeDownDriver();
    std::lock_guard lock(m_mu);
    m_deviceDriver.clear();
    m_streams.clear();
    m_songs.clear();
    m_initialised = false;
    m_virtual = false;
    m_fftActive = false;
}

}  // namespace velunar::fsound
