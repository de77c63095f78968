#include "assets/music/mp3_decode.h"

#include <mpg123.h>

bool DecodeMp3(const std::string& path, DecodedPcm& out) {
    mpg123_init();
    int err = 0;
    mpg123_handle* h = mpg123_new(nullptr, &err);
    if (!h) return false;
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_FORCE_FLOAT | MPG123_GAPLESS, 0.0);
    int enc = 0;
    bool ok = mpg123_open(h, path.c_str()) == MPG123_OK &&
              mpg123_getformat(h, &out.rate, &out.channels, &enc) == MPG123_OK && out.channels > 0;
    std::vector<unsigned char> buf(1 << 16);
    while (ok) {
        size_t got = 0;
        const int rc = mpg123_read(h, buf.data(), buf.size(), &got);
        const float* f = reinterpret_cast<const float*>(buf.data());
        const size_t n = got / sizeof(float);
        for (size_t i = 0; i + out.channels <= n; i += out.channels) {
            out.left.push_back(f[i]);
            out.right.push_back(out.channels > 1 ? f[i + 1] : f[i]);
        }
        if (rc == MPG123_DONE) break;
        if (rc != MPG123_OK && rc != MPG123_NEW_FORMAT) ok = false;
    }
    mpg123_close(h);
    mpg123_delete(h);
    return ok;
}
