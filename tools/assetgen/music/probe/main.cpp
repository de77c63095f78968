// velunar-music: writes the music track, or inspects an MP3 of it: length, loudness, true peak and
// loudness range; per section of the score its loudness, the low-band level the scenes read and the
// instruments that play; the arrangement's targets; and a spectrogram PNG to look at.
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
#include "music/score.h"
#include "music/tempo.h"
#include "music/track.h"

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
// The spectrum's gain, as the program applies it before clamping each band at 1 (--gain; 1 by default).
double g_gain = 1.0;

std::vector<double> Spectrum(const Pcm& pcm, size_t at) {
    std::vector<std::complex<double>> a(1024);
    for (size_t i = 0; i < 1024; ++i) {
        const size_t j = at + i >= 1024 ? at + i - 1024 : 0;
        const double w = 0.5 - 0.5 * std::cos(2.0 * M_PI * i / 1024.0);
        a[i] = j < pcm.l.size() ? 0.5 * (pcm.l[j] + pcm.r[j]) * w : 0.0;
    }
    Fft(a);
    std::vector<double> s(512);
    for (size_t k = 0; k < 512; ++k) s[k] = std::min(1.0, g_gain * std::abs(a[k]) * 4.0 / 1024.0);
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

// Integrated loudness of [t0, t1) s.
double Lufs(const Pcm& pcm, double t0, double t1) {
    const size_t a = static_cast<size_t>(t0 * pcm.rate), b = std::min(pcm.l.size(), static_cast<size_t>(t1 * pcm.rate));
    return b > a ? music::IntegratedLoudness(pcm.l.data() + a, pcm.r.data() + a, b - a, pcm.rate) : -HUGE_VAL;
}

// Onset nearest to `t`: the time in t +/- 15 ms where the level of the next 3 ms rises most over
// the 10 ms before it.
double Onset(const Pcm& pcm, double t) {
    const auto rms = [&](double t0, double t1) {
        const size_t a = static_cast<size_t>(std::max(0.0, t0) * pcm.rate), b = static_cast<size_t>(t1 * pcm.rate);
        double acc = 0.0;
        for (size_t i = a; i < b && i < pcm.l.size(); ++i) acc += 0.25 * (pcm.l[i] + pcm.r[i]) * (pcm.l[i] + pcm.r[i]);
        return std::sqrt(acc / std::max<size_t>(1, b - a)) + 1e-7;
    };
    double best = t, bestRatio = 0.0;
    for (double x = t - 0.015; x <= t + 0.015; x += 0.00025) {
        const double ratio = rms(x, x + 0.003) / rms(x - 0.010, x);
        if (ratio > bestRatio) bestRatio = ratio, best = x;
    }
    return best;
}

// One row of the section table: its span in seconds, and which parts sound in it.
struct Row {
    std::string name;
    double from, to;
    std::string parts;
};

// Renders each part alone and lists, per row, the parts that reach a fiftieth (-34 dB) of the
// loudest part there and a twentieth of their own level in their loudest row (so a tail that rings
// over a join does not count): what the score plays, not what the MP3 says.
void ListParts(std::vector<Row>& rows) {
    const size_t frames = static_cast<size_t>(music::kTrackSeconds * music::kSampleRate);
    const size_t parts = static_cast<size_t>(music::Part::Count);
    std::vector<std::vector<double>> rms(parts, std::vector<double>(rows.size(), 0.0));
    for (size_t p = 0; p < parts; ++p) {
        music::Stereo buf(frames);
        music::RenderPart(static_cast<music::Part>(p), buf);
        const double level = music::PartMixLevel(static_cast<music::Part>(p));
        for (size_t r = 0; r < rows.size(); ++r) {
            const size_t a = music::FrameAt(rows[r].from), b = std::min(frames, music::FrameAt(rows[r].to));
            double acc = 0.0;
            for (size_t i = a; i < b; ++i) acc += buf.l[i] * buf.l[i] + buf.r[i] * buf.r[i];
            rms[p][r] = level * std::sqrt(acc / std::max<size_t>(1, b - a));
        }
    }
    std::vector<double> own(parts, 0.0);
    for (size_t p = 0; p < parts; ++p) own[p] = *std::max_element(rms[p].begin(), rms[p].end());
    for (size_t r = 0; r < rows.size(); ++r) {
        double loudest = 0.0;
        for (size_t p = 0; p < parts; ++p) loudest = std::max(loudest, rms[p][r]);
        for (size_t p = 0; p < parts; ++p) {
            if (rms[p][r] < loudest / 50.0 || rms[p][r] < own[p] / 20.0 || loudest <= 0.0) continue;
            if (!rows[r].parts.empty()) rows[r].parts += ' ';
            rows[r].parts += music::PartName(static_cast<music::Part>(p));
        }
    }
}

int Inspect(const char* mp3, const char* pngPath, double from, double to, bool withParts) {
    Pcm pcm;
    if (!Decode(mp3, pcm)) {
        std::fprintf(stderr, "cannot decode %s\n", mp3);
        return 1;
    }
    const size_t n = pcm.l.size();
    std::printf("%s: %ld Hz, %d channels, %zu frames (%.3f s)\n", mp3, pcm.rate, pcm.channels, n,
                n / static_cast<double>(pcm.rate));
    const double integrated = music::IntegratedLoudness(pcm.l.data(), pcm.r.data(), n, pcm.rate);
    const double truePeak =
        music::ToDb(std::max(music::TruePeak(pcm.l.data(), n), music::TruePeak(pcm.r.data(), n)));
    const double lra = music::LoudnessRange(pcm.l.data(), pcm.r.data(), n, pcm.rate);
    size_t clipped = 0;
    for (size_t i = 0; i < n; ++i) clipped += std::fabs(pcm.l[i]) >= 1.0f || std::fabs(pcm.r[i]) >= 1.0f;
    std::printf("integrated loudness %.2f LUFS, true peak %.2f dBTP, loudness range %.1f LU, %zu clipped samples\n",
                integrated, truePeak, lra, clipped);

    // The sections of the score; the credits split where the fade begins.
    std::vector<Row> table;
    for (const music::Section& s : music::Sections()) {
        const double a = music::BeatTime(s.fromBeat), b = std::min(music::BeatTime(s.toBeat), music::kFadeEnd);
        if (a < music::kFadeStart && b > music::kFadeStart) {
            table.push_back({s.name, a, music::kFadeStart, {}});
            table.push_back({"fade", music::kFadeStart, b, {}});
        } else {
            table.push_back({s.name, a, b, {}});
        }
    }
    if (withParts) ListParts(table);
    std::printf("| section | seconds | LUFS | short-term max | low bands mean (p10-p90) | on kicks | instruments |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    const std::vector<double> kicks = music::KickTimes();
    std::vector<double> sectionLufs;
    const std::vector<double> shortTerm = music::ShortTermLoudness(pcm.l.data(), pcm.r.data(), n, pcm.rate);
    for (const Row& row : table) {
        const size_t a = static_cast<size_t>(row.from * pcm.rate), b = std::min(n, static_cast<size_t>(row.to * pcm.rate));
        std::vector<double> lows;
        for (size_t at = a + 1024; at < b; at += 441) lows.push_back(LowMean(Spectrum(pcm, at)));
        std::sort(lows.begin(), lows.end());
        double mean = 0.0;
        for (double v : lows) mean += v;
        mean /= std::max<size_t>(1, lows.size());
        const auto pct = [&](double p) { return lows.empty() ? 0.0 : lows[static_cast<size_t>(p * (lows.size() - 1))]; };
        // Short-term windows (3 s, ending 100 ms apart) that end inside the row.
        double stMax = -HUGE_VAL;
        for (size_t w = 0; w < shortTerm.size(); ++w) {
            const double end = 3.0 + 0.1 * w;
            if (end > row.from + 1.0 && end <= row.to) stMax = std::max(stMax, shortTerm[w]);
        }
        // The low-band level on the beat: its peak within 80 ms of each kick, the median over the row.
        std::vector<double> onKicks;
        for (double k : kicks) {
            if (k < row.from || k >= row.to) continue;
            double peak = 0.0;
            for (double t = k; t < k + 0.08; t += 0.005) peak = std::max(peak, LowMean(Spectrum(pcm, static_cast<size_t>(t * pcm.rate))));
            onKicks.push_back(peak);
        }
        std::sort(onKicks.begin(), onKicks.end());
        char kickText[16] = "-";
        if (!onKicks.empty()) std::snprintf(kickText, sizeof(kickText), "%.4f", onKicks[onKicks.size() / 2]);
        sectionLufs.push_back(Lufs(pcm, row.from, row.to));
        std::printf("| %s | %.3f - %.3f | %.1f | %.1f | %.4f (%.4f-%.4f) | %s | %s |\n", row.name.c_str(), row.from,
                    row.to, sectionLufs.back(), stMax, mean, pct(0.1), pct(0.9), kickText, row.parts.c_str());
    }
    const auto lufsOf = [&](const char* name) {
        for (size_t r = 0; r < table.size(); ++r) {
            if (table[r].name == name) return sectionLufs[r];
        }
        return -HUGE_VAL;
    };
    // The targets of the arrangement.
    const double opening = Lufs(pcm, 0.0, 8.0), lift = lufsOf("fx08 lift"), fx07 = lufsOf("fx07 breakdown");
    const double flashes[18] = {45.9,   46.113, 46.187, 46.258, 46.471, 46.686, 46.827, 46.97,  47.043,
                                47.113, 47.258, 47.401, 47.542, 47.614, 47.684, 47.829, 47.898, 47.972};
    double worstHit = 0.0;
    for (double f : flashes) {
        const double off = Onset(pcm, f) - f;
        if (std::getenv("PROBE_HITS")) std::printf("hit %.3f %+.2f ms\n", f, off * 1000);
        worstHit = std::max(worstHit, std::fabs(off));
    }
    // Clicks at the joins: the largest second difference (a step in the waveform's slope) within
    // 20 ms of each join, against the 99.9th percentile of it over the 2 s around the join.
    double worstJoin = 0.0;
    std::string worstJoinName;
    for (size_t r = 1; r < table.size(); ++r) {
        const double join = table[r].from;
        const auto d2 = [&](size_t i) {
            const auto m = [&](size_t j) { return 0.5 * (pcm.l[j] + pcm.r[j]); };
            return std::fabs(m(i) - 2.0 * m(i - 1) + m(i - 2));
        };
        const size_t a = static_cast<size_t>((join - 1.0) * pcm.rate), b = std::min(n, static_cast<size_t>((join + 1.0) * pcm.rate));
        std::vector<double> around;
        for (size_t i = a; i < b; ++i) around.push_back(d2(i));
        std::sort(around.begin(), around.end());
        const double typical = around[static_cast<size_t>(0.999 * (around.size() - 1))] + 1e-9;
        double atJoin = 0.0;
        for (size_t i = static_cast<size_t>((join - 0.02) * pcm.rate); i < static_cast<size_t>((join + 0.02) * pcm.rate); ++i) {
            atJoin = std::max(atJoin, d2(i));
        }
        if (atJoin / typical > worstJoin) worstJoin = atJoin / typical, worstJoinName = table[r].name;
    }
    const auto check = [](bool ok) { return ok ? "ok" : "MISSED"; };
    std::printf("targets:\n");
    std::printf("  loudness range %.1f LU (>= 7): %s\n", lra, check(lra >= 7.0));
    std::printf("  fx08 lift %.1f LUFS over fx03 by %.1f dB, over fx04 by %.1f dB (>= 2): %s\n", lift,
                lift - lufsOf("fx03 rise"), lift - lufsOf("fx04 rebuild"),
                check(lift - std::max(lufsOf("fx03 rise"), lufsOf("fx04 rebuild")) >= 2.0));
    std::printf("  fx01's first 8 s %.1f LUFS, %.1f dB under the lift (>= 6): %s\n", opening, lift - opening,
                check(lift - opening >= 6.0));
    std::printf("  fx07 %.1f LUFS, under fx10 by %.1f dB, under fx04 by %.1f dB (>= 5): %s\n", fx07,
                lufsOf("fx10 open") - fx07, lufsOf("fx04 rebuild") - fx07,
                check(std::min(lufsOf("fx10 open"), lufsOf("fx04 rebuild")) - fx07 >= 5.0));
    std::printf("  integrated %.2f LUFS (-14 +/- 1): %s; true peak %.2f dBTP (<= -1): %s; clipping: %s\n", integrated,
                check(std::fabs(integrated + 14.0) <= 1.0), truePeak, check(truePeak <= -1.0), check(clipped == 0));
    std::printf("  joins: slope steps at most %.2f x the 99.9th percentile around them (at %s; a click would be well over 1)\n",
                worstJoin, worstJoinName.c_str());
    std::printf("  break hits within %.1f ms of the flashes (<= 3): %s\n", worstHit * 1000.0, check(worstHit <= 0.003));
    const double bounds[] = {0, 3.4525, 18.301, 27.345, 45.9, 47.972, 63.989, 68.549, 86.814, 105.088, 109.665,
                             127.909, 146.221, 165, 170, 172};
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
    // --gain G anywhere after the command: read the low bands as the scenes do at that gain.
    for (int i = 2; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--gain") != 0) continue;
        g_gain = std::atof(argv[i + 1]);
        for (int j = i; j + 2 < argc; ++j) argv[j] = argv[j + 2];
        argc -= 2;
        break;
    }
    if (argc >= 3 && std::strcmp(argv[1], "write") == 0) {
        const auto t0 = std::chrono::steady_clock::now();
        const bool ok = WriteMusicTrack(argv[2]);
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        std::printf("%s %s in %.2f s\n", ok ? "wrote" : "FAILED", argv[2], s);
        return ok ? 0 : 1;
    }
    const bool quick = argc >= 3 && std::strcmp(argv[1], "quick") == 0;
    if (argc >= 3 && (quick || std::strcmp(argv[1], "inspect") == 0)) {
        return Inspect(argv[2], argc >= 4 ? argv[3] : nullptr, argc >= 5 ? std::atof(argv[4]) : 0.0,
                       argc >= 6 ? std::atof(argv[5]) : 1e9, !quick);
    }
    std::fprintf(stderr, "usage: velunar-music write OUT.mp3 | inspect|quick IN.mp3 [--gain G] [SPECTROGRAM.png [FROM TO]]\n"
                         "  quick leaves out the instruments column (it renders every part of the score)\n");
    return 2;
}
