// pcm.cpp - whole-file decoding of the sampled formats and resampling to the mixing rate.
#include "platform/fsound/pcm.h"

#include <mpg123.h>
#include <sys/types.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>

#include "platform/fsound/fmod.h"

namespace velunar::fsound {
namespace {

constexpr int kRawRate = 44100;

bool EndsWith(const std::string& s, const char* tail) {
    std::size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

std::int16_t ClampToS16(double v) {
    return static_cast<std::int16_t>(std::clamp(std::lround(v), -32768L, 32767L));
}

// mpg123 reads through this so the whole file can come from memory and still be seekable, which
// gapless decoding and the exact length need.
struct MemoryReader {
    const std::vector<std::uint8_t>* bytes;
    std::size_t pos = 0;

    static ssize_t Read(void* handle, void* buf, size_t count) {
        auto* r = static_cast<MemoryReader*>(handle);
        std::size_t n = std::min(count, r->bytes->size() - r->pos);
        if (n > 0) std::memcpy(buf, r->bytes->data() + r->pos, n);  // an empty file has no data pointer
        r->pos += n;
        return static_cast<ssize_t>(n);
    }
    static off_t Seek(void* handle, off_t offset, int whence) {
        auto* r = static_cast<MemoryReader*>(handle);
        off_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<off_t>(r->pos)
                                                                  : static_cast<off_t>(r->bytes->size());
        off_t target = base + offset;
        if (target < 0 || target > static_cast<off_t>(r->bytes->size())) return -1;
        r->pos = static_cast<std::size_t>(target);
        return target;
    }
};

struct Mpg123Deleter {
    void operator()(mpg123_handle* h) const {
        mpg123_close(h);
        mpg123_delete(h);
    }
};

bool DecodeMpeg(const std::vector<std::uint8_t>& bytes, Pcm& out, std::string& error) {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });

    int err = MPG123_OK;
    std::unique_ptr<mpg123_handle, Mpg123Deleter> mh(mpg123_new(nullptr, &err));
    if (!mh) {
        error = "mpg123_new failed";
        return false;
    }
    mpg123_param(mh.get(), MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_FORCE_STEREO | MPG123_GAPLESS, 0);
    // One frame's worth of junk is tolerated; a file that is not MPEG audio at all is refused
    // instead of being searched for accidental frame headers.
    mpg123_param(mh.get(), MPG123_RESYNC_LIMIT, 4096, 0);
    mpg123_format_none(mh.get());
    const long* rates = nullptr;
    std::size_t nrates = 0;
    mpg123_rates(&rates, &nrates);
    for (std::size_t i = 0; i < nrates; ++i) mpg123_format(mh.get(), rates[i], MPG123_STEREO, MPG123_ENC_SIGNED_16);

    MemoryReader reader{&bytes};
    if (mpg123_replace_reader_handle(mh.get(), &MemoryReader::Read, &MemoryReader::Seek, nullptr) != MPG123_OK ||
        mpg123_open_handle(mh.get(), &reader) != MPG123_OK) {
        error = std::string("cannot open MPEG audio: ") + mpg123_strerror(mh.get());
        return false;
    }
    // A scan makes the length exact (and the gapless trim right) before the first sample.
    mpg123_scan(mh.get());
    off_t length = mpg123_length(mh.get());

    long rate = 0;
    int channels = 0, encoding = 0;
    out.samples.clear();
    if (length > 0) out.samples.reserve(static_cast<std::size_t>(length) * 2);
    std::vector<unsigned char> buf(64 * 1024);
    for (;;) {
        std::size_t done = 0;
        int rc = mpg123_read(mh.get(), buf.data(), buf.size(), &done);
        if (done > 0) {
            std::size_t count = done / sizeof(std::int16_t);
            std::size_t old = out.samples.size();
            out.samples.resize(old + count);
            std::memcpy(out.samples.data() + old, buf.data(), count * sizeof(std::int16_t));
        }
        if (rc == MPG123_NEW_FORMAT || rc == MPG123_OK) continue;
        if (rc == MPG123_DONE) break;
        if (out.samples.empty()) {
            error = std::string("not MPEG audio: ") + mpg123_strerror(mh.get());
            return false;
        }
        break;  // A damaged tail: keep what played.
    }
    mpg123_getformat(mh.get(), &rate, &channels, &encoding);
    if (out.samples.empty() || rate <= 0) {
        error = "no MPEG audio frames";
        return false;
    }
    out.samples.resize(out.samples.size() & ~std::size_t{1});
    out.rate = static_cast<int>(rate);
    return true;
}

std::uint32_t Le32(const std::uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24); }
std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

// One sample of a WAVE data chunk as -32768 ... 32767.
double WavSample(const std::uint8_t* p, int bits, bool isFloat) {
    if (isFloat) {
        if (bits == 32) {
            float f;
            std::memcpy(&f, p, 4);
            return std::isfinite(f) ? f * 32768.0 : 0.0;
        }
        double d;
        std::memcpy(&d, p, 8);
        return std::isfinite(d) ? d * 32768.0 : 0.0;
    }
    switch (bits) {
        case 8: return (p[0] - 128) * 256.0;
        case 16: return static_cast<std::int16_t>(Le16(p));
        case 24: return static_cast<std::int32_t>((p[0] << 8) | (p[1] << 16) | (std::uint32_t(p[2]) << 24)) / 65536.0;
        default: return static_cast<std::int32_t>(Le32(p)) / 65536.0;
    }
}

bool DecodeWav(const std::vector<std::uint8_t>& b, Pcm& out, std::string& error) {
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0) {
        error = "not a RIFF WAVE file";
        return false;
    }
    int format = 0, channels = 0, bits = 0;
    std::uint32_t rate = 0;
    const std::uint8_t* data = nullptr;
    std::size_t dataSize = 0;
    std::size_t pos = 12;
    while (pos + 8 <= b.size()) {
        std::size_t size = Le32(&b[pos + 4]);
        std::size_t body = pos + 8;
        std::size_t avail = std::min(size, b.size() - body);
        if (std::memcmp(&b[pos], "fmt ", 4) == 0 && avail >= 16) {
            format = Le16(&b[body]);
            channels = Le16(&b[body + 2]);
            rate = Le32(&b[body + 4]);
            bits = Le16(&b[body + 14]);
            if (format == 0xFFFE && avail >= 26) format = Le16(&b[body + 24]);  // WAVE_FORMAT_EXTENSIBLE
        } else if (std::memcmp(&b[pos], "data", 4) == 0) {
            data = &b[body];
            dataSize = avail;  // A truncated file keeps what it holds.
        }
        pos = body + size + (size & 1);
        if (pos < body) break;  // overflow
    }
    bool isFloat = format == 3;
    bool bitsOk = isFloat ? (bits == 32 || bits == 64) : (bits == 8 || bits == 16 || bits == 24 || bits == 32);
    if ((format != 1 && !isFloat) || !bitsOk || channels < 1 || channels > 32 || rate < 1000 || rate > 768000) {
        error = "unsupported WAVE format";
        return false;
    }
    if (!data) {
        error = "WAVE file without data";
        return false;
    }
    std::size_t frameBytes = static_cast<std::size_t>(channels) * (bits / 8);
    std::size_t frames = dataSize / frameBytes;
    if (frames == 0) {
        error = "WAVE file without samples";
        return false;
    }
    out.rate = static_cast<int>(rate);
    out.samples.resize(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const std::uint8_t* f = data + i * frameBytes;
        double l = WavSample(f, bits, isFloat);
        double r = channels > 1 ? WavSample(f + bits / 8, bits, isFloat) : l;
        out.samples[2 * i] = ClampToS16(l);
        out.samples[2 * i + 1] = ClampToS16(r);
    }
    return true;
}

bool DecodeRaw(const std::vector<std::uint8_t>& b, unsigned int mode, Pcm& out, std::string& error) {
    int bytes = (mode & FSOUND_8BITS) ? 1 : 2;
    int channels = (mode & FSOUND_STEREO) ? 2 : 1;
    // 8-bit data is unsigned and 16-bit signed unless the mode says otherwise.
    bool isSigned = bytes == 2 ? !(mode & FSOUND_UNSIGNED) : (mode & FSOUND_SIGNED) != 0;
    std::size_t frames = b.size() / (static_cast<std::size_t>(bytes) * channels);
    if (frames == 0) {
        error = "empty raw file";
        return false;
    }
    out.rate = kRawRate;
    out.samples.resize(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < 2; ++c) {
            const std::uint8_t* p = &b[(i * channels + (c < channels ? c : 0)) * bytes];
            int v;
            if (bytes == 1) {
                v = isSigned ? static_cast<std::int8_t>(p[0]) * 256 : (p[0] - 128) * 256;
            } else {
                int u = Le16(p);
                v = isSigned ? static_cast<std::int16_t>(u) : u - 32768;
            }
            out.samples[2 * i + c] = static_cast<std::int16_t>(v);
        }
    }
    return true;
}

}  // namespace

bool DecodeBytes(const std::vector<std::uint8_t>& bytes, const std::string& lowerName, unsigned int mode,
                 Pcm& out, std::string& error) {
    out = Pcm{};
    if (EndsWith(lowerName, ".raw")) return DecodeRaw(bytes, mode, out, error);
    if (bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0 && std::memcmp(bytes.data() + 8, "WAVE", 4) == 0)
        return DecodeWav(bytes, out, error);
    return DecodeMpeg(bytes, out, error);
}

bool DecodeFile(const std::string& path, unsigned int mode, Pcm& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string lower = path;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return DecodeBytes(bytes, lower, mode, out, error);
}

Pcm Resample(const Pcm& in, int rate, Resampling quality) {
    if (in.rate == rate || in.rate <= 0 || rate <= 0 || in.Frames() == 0) {
        Pcm copy = in;
        if (rate > 0) copy.rate = rate;
        return copy;
    }
    const std::size_t inFrames = in.Frames();
    // Frames out = round(frames in x rate / rate in); the output frame i sits at input frame i x step.
    const std::size_t outFrames = static_cast<std::size_t>(
        (static_cast<std::uint64_t>(inFrames) * rate + in.rate / 2) / in.rate);
    const double step = static_cast<double>(in.rate) / rate;
    Pcm out;
    out.rate = rate;
    out.samples.resize(outFrames * 2);
    const long last = static_cast<long>(inFrames) - 1;
    auto at = [&](long f, int c) -> double { return in.samples[2 * std::clamp(f, 0L, last) + c]; };
    for (std::size_t i = 0; i < outFrames; ++i) {
        double x = i * step;
        long f = static_cast<long>(x);
        double t = x - f;
        for (int c = 0; c < 2; ++c) {
            double v;
            if (quality == Resampling::kNearest) {
                v = at(std::lround(x), c);
            } else {
                // Catmull-Rom through the four neighbours.
                double p0 = at(f - 1, c), p1 = at(f, c), p2 = at(f + 1, c), p3 = at(f + 2, c);
                v = p1 + 0.5 * t * (p2 - p0 + t * (2 * p0 - 5 * p1 + 4 * p2 - p3 + t * (3 * (p1 - p2) + p3 - p0)));
            }
            out.samples[2 * i + c] = ClampToS16(v);
        }
    }
    return out;
}

}  // namespace velunar::fsound
