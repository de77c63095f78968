// filter.h - the synthesiser's filters: a state-variable filter for swept cutoffs, and biquads.
// Depends on: nothing.
#pragma once

namespace music {

// Topology-preserving state-variable filter; cutoff may change every sample. Cutoff in Hz, q > 0.5.
class Svf {
public:
    struct Out {
        float low, band, high;
    };
    // Sets the cutoff; cheap to call per sample when it does not change, costly (a tangent) when it does.
    void Set(double cutoffHz, double q);
    Out Process(float x);
    Out Process(float x, double cutoffHz, double q) {
        Set(cutoffHz, q);
        return Process(x);
    }
    float Low(float x, double cutoffHz, double q) { return Process(x, cutoffHz, q).low; }

private:
    double m_ic1 = 0.0, m_ic2 = 0.0;
    double m_hz = -1.0, m_q = -1.0;
    double m_k = 0.0, m_a1 = 0.0, m_a2 = 0.0, m_a3 = 0.0;
};

// Direct form I biquad; coefficients normalised so a0 = 1.
class Biquad {
public:
    Biquad() = default;
    Biquad(double b0, double b1, double b2, double a1, double a2) : m_b0(b0), m_b1(b1), m_b2(b2), m_a1(a1), m_a2(a2) {}
    static Biquad HighPass(double hz, double q, double fs);
    static Biquad LowPass(double hz, double q, double fs);
    double Process(double x) {
        const double y = m_b0 * x + m_b1 * m_x1 + m_b2 * m_x2 - m_a1 * m_y1 - m_a2 * m_y2;
        m_x2 = m_x1;
        m_x1 = x;
        m_y2 = m_y1;
        m_y1 = y;
        return y;
    }
    double b0() const { return m_b0; }
    double b1() const { return m_b1; }
    double b2() const { return m_b2; }
    double a1() const { return m_a1; }
    double a2() const { return m_a2; }

private:
    double m_b0 = 1.0, m_b1 = 0.0, m_b2 = 0.0, m_a1 = 0.0, m_a2 = 0.0;
    double m_x1 = 0.0, m_x2 = 0.0, m_y1 = 0.0, m_y2 = 0.0;
};

}  // namespace music
