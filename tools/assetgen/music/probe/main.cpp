// velunar-music: writes the music track, or inspects an MP3 of it: length, loudness, true peak, the
// low-band level the scenes read, section by section, and a spectrogram PNG to look at.
// Depends on: the music generator, libmpg123, libpng. Not part of the program.
#include <mpg123.h>
#include <png.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "music/loudness.h"
#include "music/music.h"
#include "music/tempo.h"

namespace {

struct Pcm {
    long rate = 0;
    int channels = 0;
    std::vector<float> l, r;
};

bool Decode(const char* path, Pcm& pcm) {
    mpg123_init();
    int err = 0;
    mpg123_handle* h = mpg123_new(nullptr, &err);
    if (!h) return false;
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_FORCE_FLOAT | MPG123_GAPLESS, 0.0);
    bool ok = mpg123_open(h, path) == MPG123_OK;
    int enc = 0;
    ok = ok && mpg123_getformat(h, &pcm.rate, &pcm.channels, &enc) == MPG123_OK;
    std::vector<unsigned char> buf(1 << 16);
    size_t got = 0;
    while (ok) {
        const int rc = mpg123_read(h, buf.data(), buf.size(), &got);
        const float* f = reinterpret_cast<const float*>(buf.data());
        const size_t n = got / sizeof(float);
        for (size_t i = 0; i + 1 < n + 1 && pcm.channels > 0; i += pcm.channels) {
            if (i >= n) break;
            pcm.l.push_back(f[i]);
            pcm.r.push_back(pcm.channels > 1 ? f[i + 1] : f[i]);
        }
        if (rc == MPG123_DONE) break;
        if (rc != MPG123_OK && rc != MPG123_NEW_FORMAT) ok = false;
    }
    mpg123_close(h);
    mpg123_delete(h);
    return ok;
}

void Fft(std::vector<std::complex<double>>& a) {
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> w = std::polar(1.0, -2.0 * M_PI / len);
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> wn(1.0);
            for (size_t k = 0; k < len / 2; ++k) {
                const auto u = a[i + k], v = a[i + k + len / 2] * wn;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                wn *= w;
            }
        }
    }
}

// 512 band magnitudes of the 1024 samples ending at frame `at` (Hann window, a full-scale sine = 1).
std::vector<double> Spectrum(const Pcm& pcm, size_t at) {
    std::vector<std::complex<double>> a(1024);
    for (size_t i = 0; i < 1024; ++i) {
        const size_t j = at + i >= 1024 ? at + i - 1024 : 0;
        const double w = 0.5 - 0.5 * std::cos(2.0 * M_PI * i / 1024.0);
        a[i] = j < pcm.l.size() ? 0.5 * (pcm.l[j] + pcm.r[j]) * w : 0.0;
    }
    Fft(a);
    std::vector<double> s(512);
    for (size_t k = 0; k < 512; ++k) s[k] = std::min(1.0, std::abs(a[k]) * 4.0 / 1024.0);
    return s;
}

double LowMean(const std::vector<double>& s) {
    double m = 0.0;
    for (int k = 0; k < 64; ++k) m += s[k];
    return m / 64.0;
}

bool WritePng(const char* path, int w, int h, const std::vector<unsigned char>& rgb) {
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y) png_write_row(png, const_cast<png_bytep>(&rgb[static_cast<size_t>(y) * w * 3]));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

int Inspect(const char* mp3, const char* pngPath, double from, double to) {
    Pcm pcm;
    if (!Decode(mp3, pcm)) {
        std::fprintf(stderr, "cannot decode %s\n", mp3);
        return 1;
    }
    const size_t n = pcm.l.size();
    std::printf("%s: %ld Hz, %d channels, %zu frames (%.3f s)\n", mp3, pcm.rate, pcm.channels, n,
                n / static_cast<double>(pcm.rate));
    std::printf("integrated loudness %.2f LUFS, true peak %.2f dBTP\n",
                music::IntegratedLoudness(pcm.l.data(), pcm.r.data(), n, pcm.rate),
                music::ToDb(std::max(music::TruePeak(pcm.l.data(), n), music::TruePeak(pcm.r.data(), n))));
    const double bounds[] = {0, 3.4525, 18.301, 27.345, 45.9, 47.972, 63.989, 68.549, 86.814, 105.088, 109.665,
                             127.909, 146.221, 165, 170, 172};
    std::printf("%9s %9s %8s %8s %8s %8s\n", "from", "to", "LUFS", "low", "low p10", "low p90");
    for (size_t s = 0; s + 1 < std::size(bounds); ++s) {
        const size_t a = static_cast<size_t>(bounds[s] * pcm.rate), b = std::min(n, static_cast<size_t>(bounds[s + 1] * pcm.rate));
        if (b <= a) continue;
        std::vector<double> lows;
        for (size_t at = a + 1024; at < b; at += 441) lows.push_back(LowMean(Spectrum(pcm, at)));
        std::sort(lows.begin(), lows.end());
        double mean = 0.0;
        for (double v : lows) mean += v;
        mean /= std::max<size_t>(1, lows.size());
        const auto pct = [&](double p) { return lows.empty() ? 0.0 : lows[static_cast<size_t>(p * (lows.size() - 1))]; };
        std::printf("%9.3f %9.3f %8.2f %8.4f %8.4f %8.4f\n", bounds[s], bounds[s + 1],
                    music::IntegratedLoudness(pcm.l.data() + a, pcm.r.data() + a, b - a, pcm.rate), mean, pct(0.1),
                    pct(0.9));
    }
    if (!pngPath) return 0;
    // Spectrogram of [from, to) s, about 3000 columns (at most 200 a second), log frequency
    // 30 Hz ... 16 kHz over 320 rows; below it the low-band level (0 ... 0.05) over 100 rows.
    to = std::min(to, n / static_cast<double>(pcm.rate));
    const double perSecond = std::min(200.0, 3000.0 / std::max(0.01, to - from));
    const int cols = static_cast<int>((to - from) * perSecond), rows = 320, curve = 100;
    std::vector<unsigned char> rgb(static_cast<size_t>(cols) * (rows + curve) * 3, 0);
    for (int c = 0; c < cols; ++c) {
        const std::vector<double> s = Spectrum(pcm, static_cast<size_t>((from + c / perSecond) * pcm.rate) + 1024);
        for (int y = 0; y < rows; ++y) {
            const double hz = 30.0 * std::pow(16000.0 / 30.0, 1.0 - y / static_cast<double>(rows - 1));
            const double v = s[std::min<size_t>(511, static_cast<size_t>(hz / (pcm.rate / 1024.0)))];
            const double db = std::clamp((20.0 * std::log10(v + 1e-9) + 90.0) / 90.0, 0.0, 1.0);
            unsigned char* p = &rgb[(static_cast<size_t>(y) * cols + c) * 3];
            p[0] = static_cast<unsigned char>(255 * std::min(1.0, db * 1.6));
            p[1] = static_cast<unsigned char>(255 * std::clamp(db * 1.6 - 0.6, 0.0, 1.0));
            p[2] = static_cast<unsigned char>(255 * std::clamp(0.6 - db, 0.0, 0.6));
        }
        const int level = std::clamp(static_cast<int>(LowMean(s) * curve * 20.0), 0, curve - 1);
        for (int y = 0; y <= level; ++y) {
            unsigned char* p = &rgb[(static_cast<size_t>(rows + curve - 1 - y) * cols + c) * 3];
            p[0] = p[1] = p[2] = y == level ? 255 : 90;
        }
    }
    // Scene boundaries as grey ticks along the top.
    for (double t : bounds) {
        const int c = static_cast<int>((t - from) * perSecond);
        for (int y = 0; y < 12 && c >= 0 && c < cols; ++y) std::memset(&rgb[(static_cast<size_t>(y) * cols + c) * 3], 200, 3);
    }
    if (!WritePng(pngPath, cols, rows + curve, rgb)) return 1;
    std::printf("spectrogram %s (%d x %d)\n", pngPath, cols, rows + curve);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "write") == 0) {
        const auto t0 = std::chrono::steady_clock::now();
        const bool ok = WriteMusicTrack(argv[2]);
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        std::printf("%s %s in %.2f s\n", ok ? "wrote" : "FAILED", argv[2], s);
        return ok ? 0 : 1;
    }
    if (argc >= 3 && std::strcmp(argv[1], "inspect") == 0) return Inspect(argv[2], argc >= 4 ? argv[3] : nullptr, argc >= 5 ? std::atof(argv[4]) : 0.0,
                       argc >= 6 ? std::atof(argv[5]) : 1e9);
    std::fprintf(stderr, "usage: velunar-music write OUT.mp3 | inspect IN.mp3 [SPECTROGRAM.png [FROM TO]]\n");
    return 2;
}
