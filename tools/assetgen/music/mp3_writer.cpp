#include "music/mp3_writer.h"

#include <lame/lame.h>

#include <cstdio>
#include <memory>

namespace music {

namespace {

struct LameDeleter {
    void operator()(lame_global_flags* g) const { lame_close(g); }
};

}  // namespace

bool WriteMp3(const std::string& path, const std::vector<float>& left, const std::vector<float>& right) {
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
    // The limiter has already left the headroom; LAME must not scale or clip on its own.
    lame_set_scale(gfp.get(), 1.0f);
    if (lame_init_params(gfp.get()) < 0) return false;

    std::vector<unsigned char> mp3;
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

    // LAME reserved the first frame for the tag; fill it now that the lengths are known.
    unsigned char tag[2880];
    const size_t tagSize = lame_get_lametag_frame(gfp.get(), tag, sizeof(tag));
    if (tagSize == 0 || tagSize > sizeof(tag) || tagSize > mp3.size()) return false;
    std::copy(tag, tag + tagSize, mp3.begin());

    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(mp3.data(), 1, mp3.size(), f) == mp3.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace music
