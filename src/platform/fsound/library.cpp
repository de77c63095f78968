// library.cpp - streams, songs, volumes, the heard position, the spectrum and on-demand mixing.
#include "platform/fsound/library.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/fsound/fmod.h"
#include "platform/window/clock.h"

namespace velunar::fsound {
namespace {

constexpr int kDefaultVolume = 256;

bool NoInterpolation(int mixer) {
    return mixer == FSOUND_MIXER_BLENDMODE || mixer == FSOUND_MIXER_MMXP5 || mixer == FSOUND_MIXER_MMXP6;
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

bool ReadWhole(const char* name, std::vector<std::uint8_t>& bytes) {
    // Sized once and read in one go: no growing copies of a whole track.
    std::ifstream in(name, std::ios::binary | std::ios::ate);
    if (!in) return false;
    const std::streamoff size = in.tellg();
    if (size < 0) return false;
    bytes.resize(static_cast<std::size_t>(size));
    in.seekg(0);
    return static_cast<bool>(in.read(reinterpret_cast<char*>(bytes.data()), size));
}

}  // namespace

Library& Library::Get() {
    static Library instance;
    return instance;
}

Library::Library() { m_volume.fill(kDefaultVolume); }

Library::~Library() {
    // Process exit: the device thread must not outlive the sounds it mixes.
    if (m_initialised || m_sdlUp) Close();
}

// ---- positions ----------------------------------------------------------------------------

std::uint32_t Library::NowMs() const { return timeGetTime(); }

// Virtual clock: basePos + whole frames elapsed since baseMs (a clock that ran backwards counts as 0).
std::uint64_t Library::VirtualTarget(const Voice& v) const {
    if (!v.playing || v.paused) return v.basePos;
    std::int32_t ms = static_cast<std::int32_t>(NowMs() - v.baseMs);
    return v.basePos + static_cast<std::uint64_t>(std::max(ms, 0)) * static_cast<std::uint64_t>(m_rate) / 1000;
}

std::uint64_t Library::Heard(Voice& v, std::uint64_t length) {
    std::uint64_t heard;
    if (m_virtual) {
        heard = std::min(VirtualTarget(v), length);
    } else {
        // What the speaker plays lags the callback's start by the device buffer; between callbacks
        // it advances with the wall clock, never past what was mixed.
        std::int64_t since = 0;
        if (m_sawCallback) {
            double s = std::chrono::duration<double>(Clock::now() - m_lastCallback).count();
            since = std::min<std::int64_t>(static_cast<std::int64_t>(s * m_rate), m_callbackFrames);
        }
        std::int64_t h = static_cast<std::int64_t>(v.posAtCallback) - m_latency + since;
        h = std::clamp<std::int64_t>(h, static_cast<std::int64_t>(std::max(v.floor, v.lastHeard)),
                                     static_cast<std::int64_t>(std::max(v.mixPos, v.floor)));
        heard = std::min(static_cast<std::uint64_t>(h), length);
        v.lastHeard = heard;
    }
    return heard;
}

void Library::StartVoice(Voice& v) {
    v.playing = true;
    v.posAtCallback = v.mixPos;
    v.floor = v.lastHeard = v.mixPos;
    v.basePos = v.mixPos;
    v.baseMs = NowMs();
}

// Stops or seeks: what was mixed beyond `at` is dropped and mixed again from there.
void Library::FreezeVoice(Voice& v, std::uint64_t at) {
    v.mixPos = v.posAtCallback = v.floor = v.lastHeard = v.basePos = at;
    v.baseMs = NowMs();
}

void Library::RenderSongTo(Song& s, std::uint64_t target) {
    Voice& v = s.voice;
    // Earlier than the ring still holds: render again from the start.
    if (target + SpectrumAnalyser::kWindow < v.mixPos ||
        (v.mixPos > Song::kRingFrames && target < v.mixPos - Song::kRingFrames + SpectrumAnalyser::kWindow)) {
        s.module->Restart();
        v.mixPos = 0;
        s.ended = false;
        std::fill(s.ring.begin(), s.ring.end(), 0.0f);
    }
    constexpr int kChunk = 4096;
    if (m_scratch.size() < 2 * kChunk) m_scratch.resize(2 * kChunk);
    const float gain = s.volume / 256.0f;
    while (v.mixPos < target && !s.ended) {
        int want = static_cast<int>(std::min<std::uint64_t>(kChunk, target - v.mixPos));
        int n = s.module->Render(m_rate, m_scratch.data(), want);
        for (int i = 0; i < n; ++i) {
            float* slot = &s.ring[2 * ((v.mixPos + i) % Song::kRingFrames)];
            slot[0] = m_scratch[2 * i] * gain;
            slot[1] = m_scratch[2 * i + 1] * gain;
        }
        v.mixPos += n;
        if (n < want) s.ended = true;
    }
}

void Library::Gather(std::int64_t offset, int count, float* stereo) {
    std::fill(stereo, stereo + 2 * count, 0.0f);
    for (auto& [id, s] : m_streams) {
        Voice& v = s->voice;
        const std::uint64_t length = s->pcm.Frames();
        const std::uint64_t h = Heard(v, length);
        // A stopped stream, or one whose end has been heard, is silent.
        if (!(v.playing || h < v.mixPos) || h >= length || s->channel < 0) continue;
        const float gain = m_volume[s->channel] / (256.0f * 32768.0f);
        for (int i = 0; i < count; ++i) {
            std::int64_t f = static_cast<std::int64_t>(h) + offset + i;
            if (f < 0 || f >= static_cast<std::int64_t>(length)) continue;
            stereo[2 * i] += s->pcm.samples[2 * f] * gain;
            stereo[2 * i + 1] += s->pcm.samples[2 * f + 1] * gain;
        }
    }
    for (auto& [id, s] : m_songs) {
        Voice& v = s->voice;
        if (!v.playing && !(m_virtual ? false : Heard(v, UINT64_MAX) < v.mixPos)) continue;
        std::uint64_t h;
        if (m_virtual) {
            h = VirtualTarget(v);
            std::int64_t end = static_cast<std::int64_t>(h) + offset + count;
            if (end > 0) RenderSongTo(*s, static_cast<std::uint64_t>(end));
        } else {
            h = Heard(v, UINT64_MAX);
        }
        const std::int64_t oldest = static_cast<std::int64_t>(v.mixPos) - static_cast<std::int64_t>(Song::kRingFrames);
        for (int i = 0; i < count; ++i) {
            std::int64_t f = static_cast<std::int64_t>(h) + offset + i;
            if (f < 0 || f < oldest || f >= static_cast<std::int64_t>(v.mixPos)) continue;
            const float* slot = &s->ring[2 * (static_cast<std::uint64_t>(f) % Song::kRingFrames)];
            stereo[2 * i] += slot[0];
            stereo[2 * i + 1] += slot[1];
        }
    }
    for (int i = 0; i < 2 * count; ++i) stereo[i] = std::clamp(stereo[i], -1.0f, 1.0f);
}

Stream* Library::FindStream(std::uintptr_t id) {
    auto it = m_streams.find(id);
    return it == m_streams.end() ? nullptr : it->second.get();
}

Song* Library::FindSong(std::uintptr_t id) {
    auto it = m_songs.find(id);
    return it == m_songs.end() ? nullptr : it->second.get();
}

// ---- streams ------------------------------------------------------------------------------

void Library::Prefetch(const char* name) {
    if (!name) return;
    std::string lower = Lower(name);
    // Raw samples are laid out as the opening's mode says, which is not known yet.
    if (lower.size() >= 4 && lower.compare(lower.size() - 4, 4, ".raw") == 0) return;
    std::lock_guard lock(m_prefetchMu);
    m_prefetchName = name;
    m_prefetch = std::async(std::launch::async, [path = std::string(name), lower = std::move(lower)] {
        Decoded d;
        std::vector<std::uint8_t> bytes;
        std::string error;
        d.ok = ReadWhole(path.c_str(), bytes) && DecodeBytes(bytes, lower, 0, d.pcm, error);
        return d;
    });
}

std::uintptr_t Library::OpenStream(const char* name, unsigned int mode, int memLength) {
    if (!name) return 0;
    int rate, mixer;
    {
        std::lock_guard lock(m_mu);
        if (!m_initialised) return 0;
        rate = m_rate;
        mixer = m_mixer;
    }
    // Decoding takes a while for a whole track: the device keeps playing meanwhile.
    auto stream = std::make_unique<Stream>();
    std::future<Decoded> ahead;
    if (!(mode & FSOUND_LOADMEMORY)) {
        std::lock_guard lock(m_prefetchMu);
        if (m_prefetch.valid() && m_prefetchName == name) ahead = std::move(m_prefetch);
    }
    if (ahead.valid()) {
        Decoded d = ahead.get();
        if (!d.ok) return 0;
        stream->pcm = std::move(d.pcm);
    } else {
        std::vector<std::uint8_t> bytes;
        std::string lower;
        if (mode & FSOUND_LOADMEMORY) {
            if (memLength <= 0) return 0;
            const auto* p = reinterpret_cast<const std::uint8_t*>(name);
            bytes.assign(p, p + memLength);
        } else {
            if (!ReadWhole(name, bytes)) return 0;
            lower = Lower(name);
        }
        std::string error;
        if (!DecodeBytes(bytes, lower, mode, stream->pcm, error)) return 0;
    }
    // A track already at the mixer's rate is kept as decoded (a resampled copy would briefly double it).
    if (stream->pcm.rate != rate)
        stream->pcm = Resample(stream->pcm, rate, NoInterpolation(mixer) ? Resampling::kNearest : Resampling::kCubic);

    std::lock_guard lock(m_mu);
    if (!m_initialised || m_rate != rate) return 0;  // closed or re-opened meanwhile
    std::uintptr_t id = m_nextId++;
    m_streams.emplace(id, std::move(stream));
    return id;
}

int Library::PlayStream(std::uintptr_t id, int channel) {
    std::lock_guard lock(m_mu);
    Stream* s = FindStream(id);
    if (!s) return -1;
    if (s->voice.playing) return s->channel;
    auto taken = [&](int c) {
        for (auto& [other, o] : m_streams)
            if (o.get() != s && o->voice.playing && o->channel == c) return true;
        return false;
    };
    if (channel == FSOUND_FREE) {
        channel = -1;
        for (int c = 0; c < m_channels && channel < 0; ++c)
            if (!taken(c)) channel = c;
        if (channel < 0) return -1;
    } else if (channel < 0 || channel >= m_channels || taken(channel)) {
        return -1;
    }
    if (s->voice.mixPos >= s->pcm.Frames()) FreezeVoice(s->voice, 0);  // played out: from the top
    s->channel = channel;
    m_volume[channel] = kDefaultVolume;
    StartVoice(s->voice);
    return channel;
}

bool Library::StopStream(std::uintptr_t id) {
    std::lock_guard lock(m_mu);
    Stream* s = FindStream(id);
    if (!s) return false;
    std::uint64_t h = Heard(s->voice, s->pcm.Frames());
    s->voice.playing = false;
    FreezeVoice(s->voice, h);
    s->channel = -1;
    return true;
}

bool Library::CloseStream(std::uintptr_t id) {
    std::lock_guard lock(m_mu);
    return m_streams.erase(id) > 0;
}

int Library::StreamTimeMs(std::uintptr_t id) {
    std::lock_guard lock(m_mu);
    Stream* s = FindStream(id);
    if (!s) return 0;
    return static_cast<int>(Heard(s->voice, s->pcm.Frames()) * 1000 / static_cast<std::uint64_t>(m_rate));
}

std::int64_t Library::StreamPosition(std::uintptr_t id) {
    std::lock_guard lock(m_mu);
    Stream* s = FindStream(id);
    return s ? static_cast<std::int64_t>(Heard(s->voice, s->pcm.Frames())) : -1;
}

bool Library::SetStreamPosition(std::uintptr_t id, std::uint64_t pos) {
    std::lock_guard lock(m_mu);
    Stream* s = FindStream(id);
    if (!s || pos > s->pcm.Frames()) return false;
    FreezeVoice(s->voice, pos);
    return true;
}

std::int64_t Library::StreamLength(std::uintptr_t id) {
    std::lock_guard lock(m_mu);
    Stream* s = FindStream(id);
    return s ? static_cast<std::int64_t>(s->pcm.Frames()) : -1;
}

bool Library::SetVolume(int channel, int volume) {
    std::lock_guard lock(m_mu);
    if (!m_initialised) return false;
    volume = std::clamp(volume, 0, 256);
    if (channel == FSOUND_ALL) {
        std::fill(m_volume.begin(), m_volume.begin() + m_channels, volume);
        return true;
    }
    if (channel < 0 || channel >= m_channels) return false;
    m_volume[channel] = volume;
    return true;
}

int Library::GetVolume(int channel) {
    std::lock_guard lock(m_mu);
    return channel >= 0 && channel < m_channels ? m_volume[channel] : 0;
}

bool Library::SetPaused(int channel, bool paused) {
    std::lock_guard lock(m_mu);
    if (!m_initialised) return false;
    bool found = false;
    for (auto& [id, s] : m_streams) {
        if (channel != FSOUND_ALL && (channel < 0 || s->channel != channel)) continue;
        found = true;
        Voice& v = s->voice;
        if (paused == v.paused) continue;
        if (paused) {
            // The device plays out what it was handed: resuming goes on from the next sample, so
            // the music pauses and resumes without a sample lost or repeated.
            FreezeVoice(v, m_virtual ? Heard(v, s->pcm.Frames()) : v.mixPos);
        } else {
            FreezeVoice(v, v.mixPos);
        }
        v.paused = paused;
    }
    return found || channel == FSOUND_ALL;
}

bool Library::GetPaused(int channel) {
    std::lock_guard lock(m_mu);
    for (auto& [id, s] : m_streams)
        if (channel >= 0 && s->channel == channel) return s->voice.paused;
    return false;
}

// ---- songs --------------------------------------------------------------------------------

std::uintptr_t Library::LoadSong(const char* name) {
    if (!name) return 0;
    int mixer;
    {
        std::lock_guard lock(m_mu);
        if (!m_initialised) return 0;
        mixer = m_mixer;
    }
    std::vector<std::uint8_t> bytes;
    if (!ReadWhole(name, bytes)) return 0;
    std::string error;
    auto song = std::make_unique<Song>();
    song->module = Module::FromBytes(bytes, error);
    if (!song->module) return 0;
    if (NoInterpolation(mixer)) song->module->SetInterpolation(1);
    std::lock_guard lock(m_mu);
    if (!m_initialised) return 0;
    std::uintptr_t id = m_nextId++;
    m_songs.emplace(id, std::move(song));
    return id;
}

bool Library::FreeSong(std::uintptr_t id) {
    std::lock_guard lock(m_mu);
    return m_songs.erase(id) > 0;
}

bool Library::PlaySong(std::uintptr_t id) {
    std::lock_guard lock(m_mu);
    Song* s = FindSong(id);
    if (!s) return false;
    if (s->voice.playing) return true;
    if (s->ended) {
        s->module->Restart();
        s->ended = false;
        FreezeVoice(s->voice, 0);
        std::fill(s->ring.begin(), s->ring.end(), 0.0f);
    }
    StartVoice(s->voice);
    return true;
}

bool Library::StopSong(std::uintptr_t id) {
    std::lock_guard lock(m_mu);
    Song* s = FindSong(id);
    if (!s) return false;
    if (m_virtual) RenderSongTo(*s, VirtualTarget(s->voice));
    s->voice.playing = false;
    return true;
}

bool Library::SetSongVolume(std::uintptr_t id, int volume) {
    std::lock_guard lock(m_mu);
    Song* s = FindSong(id);
    if (!s) return false;
    s->volume = std::clamp(volume, 0, 256);
    return true;
}

int Library::SongOrder(std::uintptr_t id) {
    std::lock_guard lock(m_mu);
    Song* s = FindSong(id);
    if (!s) return -1;
    if (m_virtual) RenderSongTo(*s, VirtualTarget(s->voice));
    return s->module->Order();
}

int Library::SongRow(std::uintptr_t id) {
    std::lock_guard lock(m_mu);
    Song* s = FindSong(id);
    if (!s) return -1;
    if (m_virtual) RenderSongTo(*s, VirtualTarget(s->voice));
    return s->module->Row();
}

bool Library::SetSongOrder(std::uintptr_t id, int order) {
    std::lock_guard lock(m_mu);
    Song* s = FindSong(id);
    if (!s || order < 0) return false;
    if (m_virtual) {
        // The virtual clock counts on from here, in the new order.
        RenderSongTo(*s, VirtualTarget(s->voice));
        s->voice.basePos = s->voice.mixPos;
        s->voice.baseMs = NowMs();
    }
    s->module->SetOrder(order);
    s->ended = false;
    return true;
}

bool Library::SongPlaying(std::uintptr_t id) {
    std::lock_guard lock(m_mu);
    Song* s = FindSong(id);
    if (!s) return false;
    if (m_virtual && s->voice.playing) RenderSongTo(*s, VirtualTarget(s->voice));
    return s->voice.playing && !(m_virtual && s->ended);
}

// ---- spectrum and mixing on demand --------------------------------------------------------

void Library::SetFftActive(bool on) {
    std::lock_guard lock(m_mu);
    m_fftActive = on;
}

bool Library::FftActive() {
    std::lock_guard lock(m_mu);
    return m_fftActive;
}

float* Library::Spectrum() {
    {
        std::lock_guard lock(m_mu);
        if (!m_fftActive || !m_initialised || !m_analyser) return nullptr;
        // The window that ends at the heard position.
        Gather(-SpectrumAnalyser::kWindow, SpectrumAnalyser::kWindow, m_windowStereo.data());
    }
    for (int i = 0; i < SpectrumAnalyser::kWindow; ++i)
        m_windowMono[i] = 0.5f * (m_windowStereo[2 * i] + m_windowStereo[2 * i + 1]);
    m_analyser->Analyse(m_windowMono.data(), kSpectrumGain, m_spectrum.data());
    return m_spectrum.data();
}

int Library::MixAt(float* out, int frames, std::int64_t offset) {
    if (!out || frames <= 0) return 0;
    std::lock_guard lock(m_mu);
    if (!m_initialised) return 0;
    Gather(offset, frames, out);
    return frames;
}

}  // namespace velunar::fsound
