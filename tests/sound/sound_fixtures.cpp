#include "sound_fixtures.h"

#include <lame/lame.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace sound_fixtures {

std::vector<std::int16_t> Synth(int frames, const std::function<double(int, int)>& sample) {
    std::vector<std::int16_t> out(static_cast<std::size_t>(frames) * 2);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < 2; ++c) {
            double v = sample(i, c) * 32767.0;
            out[2 * i + c] = static_cast<std::int16_t>(v > 32767 ? 32767 : v < -32768 ? -32768 : v);
        }
    return out;
}

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

namespace {
void Put16(std::vector<std::uint8_t>& b, unsigned v) {
    b.push_back(v & 0xff);
    b.push_back((v >> 8) & 0xff);
}
void Put32(std::vector<std::uint8_t>& b, unsigned v) {
    Put16(b, v & 0xffff);
    Put16(b, v >> 16);
}
void PutTag(std::vector<std::uint8_t>& b, const char* tag) { b.insert(b.end(), tag, tag + 4); }
void PutBe16(std::vector<std::uint8_t>& b, unsigned v) {
    b.push_back((v >> 8) & 0xff);
    b.push_back(v & 0xff);
}
}  // namespace

bool WriteWav(const std::string& path, int rate, const std::vector<std::int16_t>& stereo) {
    std::vector<std::uint8_t> b;
    unsigned dataBytes = static_cast<unsigned>(stereo.size() * 2);
    PutTag(b, "RIFF");
    Put32(b, 36 + dataBytes);
    PutTag(b, "WAVE");
    PutTag(b, "fmt ");
    Put32(b, 16);
    Put16(b, 1);
    Put16(b, 2);
    Put32(b, rate);
    Put32(b, rate * 4);
    Put16(b, 4);
    Put16(b, 16);
    PutTag(b, "data");
    Put32(b, dataBytes);
    for (std::int16_t s : stereo) Put16(b, static_cast<std::uint16_t>(s));
    return WriteBytes(path, b);
}

bool WriteMp3(const std::string& path, int rate, const std::vector<std::int16_t>& stereo) {
    lame_global_flags* gf = lame_init();
    if (!gf) return false;
    lame_set_in_samplerate(gf, rate);
    lame_set_out_samplerate(gf, rate);
    lame_set_num_channels(gf, 2);
    lame_set_brate(gf, 128);
    lame_set_quality(gf, 5);
    lame_set_bWriteVbrTag(gf, 1);
    if (lame_init_params(gf) < 0) {
        lame_close(gf);
        return false;
    }
    FILE* f = std::fopen(path.c_str(), "w+b");
    if (!f) {
        lame_close(gf);
        return false;
    }
    int frames = static_cast<int>(stereo.size() / 2);
    std::vector<unsigned char> out(static_cast<std::size_t>(1.25 * frames + 7200) + 16384);
    // lame wants a non-const buffer.
    std::vector<short> in(stereo.begin(), stereo.end());
    int n = lame_encode_buffer_interleaved(gf, in.data(), frames, out.data(), static_cast<int>(out.size()));
    if (n > 0) std::fwrite(out.data(), 1, n, f);
    n = lame_encode_flush(gf, out.data(), static_cast<int>(out.size()));
    if (n > 0) std::fwrite(out.data(), 1, n, f);
    // The LAME tag (encoder delay and padding) goes into the first frame.
    lame_mp3_tags_fid(gf, f);
    std::fclose(f);
    lame_close(gf);
    return true;
}

bool WriteMod(const std::string& path) {
    std::vector<std::uint8_t> b;
    const char title[20] = "fixture";
    b.insert(b.end(), title, title + 20);
    constexpr unsigned kSampleWords = 32;
    for (int s = 0; s < 31; ++s) {
        char name[22] = {};
        if (s == 0) std::strcpy(name, "square");
        b.insert(b.end(), name, name + 22);
        PutBe16(b, s == 0 ? kSampleWords : 0);
        b.push_back(0);                 // finetune
        b.push_back(s == 0 ? 64 : 0);   // volume
        PutBe16(b, 0);                  // loop start
        PutBe16(b, s == 0 ? kSampleWords : 1);  // loop length
    }
    b.push_back(2);    // song length
    b.push_back(127);  // restart
    std::uint8_t orders[128] = {0, 1};
    b.insert(b.end(), orders, orders + 128);
    PutTag(b, "M.K.");
    for (int p = 0; p < 2; ++p)
        for (int row = 0; row < 64; ++row)
            for (int ch = 0; ch < 4; ++ch) {
                if (p == 0 && row == 0 && ch == 0) {
                    const unsigned period = 428, sample = 1;
                    b.push_back(static_cast<std::uint8_t>((sample & 0xf0) | (period >> 8)));
                    b.push_back(period & 0xff);
                    b.push_back(static_cast<std::uint8_t>((sample & 0x0f) << 4));
                    b.push_back(0);
                } else {
                    b.insert(b.end(), 4, 0);
                }
            }
    for (unsigned i = 0; i < 2 * kSampleWords; ++i) b.push_back(i < kSampleWords ? 0x60 : 0xa0);
    return WriteBytes(path, b);
}

std::string TempPath(const std::string& name) {
    std::filesystem::create_directories(VELUNAR_TEST_TMP);
    return std::string(VELUNAR_TEST_TMP) + "/" + name;
}

}  // namespace sound_fixtures
