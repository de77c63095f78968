// reverb.cpp - the comb and all-pass network of the send bus's room.
#include "music/reverb.h"

#include <vector>

namespace music {

namespace {

class Comb {
public:
    explicit Comb(size_t len) : m_buf(len, 0.0f) {}
    float Process(float x, float feedback, float damp) {
        const float y = m_buf[m_pos];
        m_store = y * (1.0f - damp) + m_store * damp;
        m_buf[m_pos] = x + m_store * feedback;
        if (++m_pos == m_buf.size()) m_pos = 0;
        return y;
    }

private:
    std::vector<float> m_buf;
    size_t m_pos = 0;
    float m_store = 0.0f;
};

class AllPass {
public:
    explicit AllPass(size_t len) : m_buf(len, 0.0f) {}
    float Process(float x) {
        const float b = m_buf[m_pos];
        m_buf[m_pos] = x + b * 0.5f;
        if (++m_pos == m_buf.size()) m_pos = 0;
        return b - x;
    }

private:
    std::vector<float> m_buf;
    size_t m_pos = 0;
};

// Delay lengths in samples at 44.1 kHz; the right channel is offset so the room is wide.
constexpr size_t kCombs[] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr size_t kAllPasses[] = {556, 441, 341, 225};
constexpr size_t kSpread = 23;

void RunChannel(const std::vector<float>& in, std::vector<float>& out, size_t spread, float feedback, float damp) {
    std::vector<Comb> combs;
    std::vector<AllPass> passes;
    for (size_t c : kCombs) combs.emplace_back(c + spread);
    for (size_t a : kAllPasses) passes.emplace_back(a + spread);
    for (size_t i = 0; i < in.size(); ++i) {
        const float x = in[i] * 0.015f;
        float acc = 0.0f;
        for (Comb& c : combs) acc += c.Process(x, feedback, damp);
        for (AllPass& a : passes) acc = a.Process(acc);
        out[i] = acc;
    }
}

}  // namespace

Stereo Reverb(const Stereo& in, double roomSize, double damp) {
    Stereo out(in.Frames());
    const float feedback = static_cast<float>(0.7 + 0.28 * roomSize);
    const float d = static_cast<float>(damp * 0.4);
    RunChannel(in.l, out.l, 0, feedback, d);
    RunChannel(in.r, out.r, kSpread, feedback, d);
    return out;
}

Stereo PingPong(const Stereo& in, double delay, double feedback) {
    Stereo out(in.Frames());
    const size_t d = static_cast<size_t>(delay * kSampleRate);
    const float fb = static_cast<float>(feedback);
    for (size_t i = d; i < in.Frames(); ++i) {
        // Left echoes the mono input, right echoes left: the repeats bounce across.
        out.l[i] = 0.5f * (in.l[i - d] + in.r[i - d]) + fb * out.r[i - d];
        out.r[i] = fb * out.l[i - d];
    }
    return out;
}

}  // namespace music
