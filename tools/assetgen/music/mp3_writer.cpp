// mp3_writer.cpp - the MP3 encode through libmp3lame with its gapless header, and the decode check.
#include "music/mp3_writer.h"

#include <lame/lame.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <thread>

#include "music/loudness.h"

namespace music {

namespace {

struct LameDeleter {
    void operator()(lame_global_flags* g) const { lame_close(g); }
};

struct HipDeleter {
    void operator()(hip_global_flags* h) const { hip_decode_exit(h); }
};

}  // namespace

bool EncodeMp3(const std::vector<float>& left, const std::vector<float>& right, std::vector<unsigned char>& mp3) {
    mp3.clear();
    if (left.size() != right.size()) return false;
    std::unique_ptr<lame_global_flags, LameDeleter> gfp(lame_init());
    if (!gfp) return false;
    lame_set_in_samplerate(gfp.get(), 44100);
    lame_set_out_samplerate(gfp.get(), 44100);
    lame_set_num_channels(gfp.get(), 2);
    lame_set_mode(gfp.get(), JOINT_STEREO);
    lame_set_VBR(gfp.get(), vbr_default);
    lame_set_VBR_quality(gfp.get(), 2.0f);
    lame_set_quality(gfp.get(), 5);
    lame_set_bWriteVbrTag(gfp.get(), 1);
    if (lame_init_params(gfp.get()) < 0) return false;

    const int chunk = 8192;
    std::vector<unsigned char> buf(static_cast<size_t>(1.25 * chunk + 7200));
    for (size_t pos = 0; pos < left.size(); pos += chunk) {
        const int n = static_cast<int>(std::min<size_t>(chunk, left.size() - pos));
        const int w = lame_encode_buffer_ieee_float(gfp.get(), left.data() + pos, right.data() + pos, n, buf.data(),
                                                    static_cast<int>(buf.size()));
        if (w < 0) return false;
        mp3.insert(mp3.end(), buf.begin(), buf.begin() + w);
    }
    const int w = lame_encode_flush(gfp.get(), buf.data(), static_cast<int>(buf.size()));
    if (w < 0) return false;
    mp3.insert(mp3.end(), buf.begin(), buf.begin() + w);

    // LAME reserved the first frame for the tag; fill it in now that the lengths are known.
    unsigned char tag[2880];
    const size_t tagSize = lame_get_lametag_frame(gfp.get(), tag, sizeof(tag));
    if (tagSize == 0 || tagSize > sizeof(tag) || tagSize > mp3.size()) return false;
    std::copy(tag, tag + tagSize, mp3.begin());
    return true;
}

namespace {

bool Decode(const std::vector<unsigned char>& mp3, std::vector<float>& l, std::vector<float>& r) {
    std::unique_ptr<hip_global_flags, HipDeleter> hip(hip_decode_init());
    if (!hip) return false;
    std::vector<short> pl(1152 * 8), pr(1152 * 8);
    const size_t step = 4096;
    for (size_t pos = 0; pos <= mp3.size(); pos += step) {
        const size_t len = pos < mp3.size() ? std::min(step, mp3.size() - pos) : 0;
        // Each call returns what the bytes so far complete; a zero-length call drains the rest.
        for (int round = 0;; ++round) {
            unsigned char* in = round == 0 && len ? const_cast<unsigned char*>(mp3.data() + pos) : nullptr;
            const int n = hip_decode1(hip.get(), in, round == 0 ? len : 0, pl.data(), pr.data());
            if (n < 0) return false;
            if (n == 0) break;
            for (int i = 0; i < n; ++i) {
                l.push_back(pl[i] / 32768.0f);
                r.push_back(pr[i] / 32768.0f);
            }
        }
        if (len == 0) break;
    }
    return !l.empty();
}

}  // namespace

std::vector<float> DecodedBlockPeaks(const std::vector<unsigned char>& mp3, size_t block) {
    std::vector<float> l, r;
    if (!Decode(mp3, l, r)) return {};
    std::vector<float> el(l.size()), er(r.size());
    std::thread worker([&] { TruePeakEnvelope(l.data(), l.size(), el.data()); });
    TruePeakEnvelope(r.data(), r.size(), er.data());
    worker.join();
    std::vector<float> peaks((l.size() + block - 1) / block, 0.0f);
    for (size_t i = 0; i < l.size(); ++i) peaks[i / block] = std::max({peaks[i / block], el[i], er[i]});
    return peaks;
}

double DecodedTruePeak(const std::vector<unsigned char>& mp3) {
    const std::vector<float> peaks = DecodedBlockPeaks(mp3, 4096);
    if (peaks.empty()) return -1.0;
    return *std::max_element(peaks.begin(), peaks.end());
}

bool WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace music
