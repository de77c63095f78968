// main.cpp - assetgen: writes data/ and velunar.mp3 under --out, or previews them with --preview.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "assets.h"
#include "icon.h"
#include "music/music.h"
#include "preview.h"

int main(int argc, char** argv) {
    std::string out, preview, icons;
    bool withMusic = true;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--out") && i + 1 < argc) out = argv[++i];
        else if (!std::strcmp(argv[i], "--preview") && i + 1 < argc) preview = argv[++i];
        else if (!std::strcmp(argv[i], "--icons") && i + 1 < argc) icons = argv[++i];
        else if (!std::strcmp(argv[i], "--no-music")) withMusic = false;
        else {
            std::fprintf(stderr, "usage: assetgen --out DIR [--no-music] | --preview DIR (reads DIR/data) | --icons DIR\n");
            return 2;
        }
    }
    if (!preview.empty()) return assetgen::WritePreviews(preview) ? 0 : 1;
    if (!icons.empty()) return assetgen::WriteIcons(icons) ? 0 : 1;
    if (out.empty()) {
        std::fprintf(stderr, "assetgen: --out DIR is required\n");
        return 2;
    }
    unsigned threads = std::max(1u, std::min(4u, std::thread::hardware_concurrency()));
    // The music runs on its own thread beside the pictures: it is the longest single job.
    bool musicOk = true;
    std::thread music;
    if (withMusic) music = std::thread([&] { musicOk = WriteMusicTrack(out + "/velunar.mp3"); });
    auto failed = assetgen::WriteDataTree(out, withMusic ? std::max(1u, threads - 1) : threads);
    if (music.joinable()) music.join();
    for (const auto& f : failed) std::fprintf(stderr, "assetgen: could not write data/%s\n", f.c_str());
    if (!musicOk) std::fprintf(stderr, "assetgen: ERROR: the music track could not be written (%s/velunar.mp3)\n", out.c_str());
    return failed.empty() && musicOk ? 0 : 1;
}
