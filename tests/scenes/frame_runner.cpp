#include "frame_runner.h"

#include <jpeglib.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

double Frame::Mean(int x0, int y0, int x1, int y1) const {
    double sum = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::uint8_t* p = at(x, y);
            sum += p[0] + p[1] + p[2];
        }
    return sum / (3.0 * (x1 - x0) * (y1 - y0));
}

int Frame::Max(int x0, int y0, int x1, int y1) const {
    int m = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::uint8_t* p = at(x, y);
            m = std::max({m, int(p[0]), int(p[1]), int(p[2])});
        }
    return m;
}

bool g_keepLog = false;
bool g_silent = false;

std::string WorkDir() { return std::string(VELUNAR_TEST_TMP) + "/work"; }

std::string RunLogPath() { return WorkDir() + "/debug.txt"; }

Frame RenderAt(double t, int* status) {
    namespace fs = std::filesystem;
    // A working directory of this process that sees the runnable tree, so parallel cases keep
    // their logs and pictures apart.
    // Silent runs use a folder of their own that lacks the track.
    const std::string work = WorkDir() + (g_silent ? "/silent" : "");
    std::error_code ec;
    fs::create_directories(work, ec);
    fs::create_symlink(std::string(VELUNAR_RUN_DIR) + "/data", work + "/data", ec);
    if (!g_silent) fs::create_symlink(std::string(VELUNAR_RUN_DIR) + "/velunar.mp3", work + "/velunar.mp3", ec);
    char name[64];
    std::snprintf(name, sizeof name, "/frame_%.4f.png", t);
    const std::string shot = work + name;
    fs::remove(shot, ec);
    char cmd[1024];
    std::snprintf(cmd, sizeof cmd,
                  "cd '%s' && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy '%s' --at %.4f --shot '%s' %s >/dev/null 2>&1",
                  work.c_str(), VELUNAR_EXE, t, shot.c_str(), g_keepLog ? "-debug" : "");
    int rc = std::system(cmd);
    int code = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    if (status) *status = code;
    if (code != 0) return {};
    return ReadPng(shot);
}

Frame ReadPng(const std::string& path) {
    Frame f;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return f;
    image.format = PNG_FORMAT_RGB;
    f.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, f.rgb.data(), 0, nullptr)) return {};
    f.width = static_cast<int>(image.width);
    f.height = static_cast<int>(image.height);
    return f;
}

Frame ReadJpeg(const std::string& path) {
    Frame f;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return f;
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    f.width = static_cast<int>(cinfo.output_width);
    f.height = static_cast<int>(cinfo.output_height);
    f.rgb.resize(static_cast<size_t>(f.width) * f.height * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = &f.rgb[static_cast<size_t>(cinfo.output_scanline) * f.width * 3];
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(file);
    return f;
}
