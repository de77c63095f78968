// oscillator.h - band-limited oscillators of the music synthesiser (phase in cycles, output -1 ... 1).
// Depends on: nothing.
#pragma once

#include <cstdint>

namespace music {

constexpr double kSampleRate = 44100.0;
constexpr double kPi = 3.14159265358979323846;

enum class Wave { Sine, Saw, Square, Triangle };

// Frequency in Hz of a MIDI note number (69 = A4 = 440 Hz, equal temperament).
double NoteHz(double midiNote);

// One oscillator: a phase accumulator with PolyBLEP edges so saws and squares do not alias.
class Oscillator {
public:
    explicit Oscillator(Wave wave = Wave::Sine, double phase = 0.0) : m_wave(wave), m_phase(phase) {}
    // Advances by hz / sample rate and returns the sample at the old phase.
    float Next(double hz);
    double Phase() const { return m_phase; }

private:
    Wave m_wave;
    double m_phase;
};

// Deterministic noise source (xorshift32); uniform -1 ... 1.
class Noise {
public:
    explicit Noise(uint32_t seed) : m_state(seed ? seed : 0x9e3779b9u) {}
    float Next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return static_cast<float>(static_cast<int32_t>(m_state) * (1.0 / 2147483648.0));
    }

private:
    uint32_t m_state;
};

}  // namespace music
