// assets.cpp - the data tree: one job per file, spread over a few worker threads.
#include "assets.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

#include "imagefile.h"
#include "inifiles.h"
#include "mesh.h"
#include "text.h"
#include "textures.h"

namespace assetgen {
namespace {

bool WriteText(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

bool WriteImage(const std::string& dir, const ImageAsset& a) {
    Image img = a.make();
    std::string path = dir + "/" + a.file;
    switch (a.kind) {
        case ImageKind::Jpeg: return WriteJpeg(path, img);
        case ImageKind::Png: return WritePng(path, img, false);
        case ImageKind::PngAlpha: return WritePng(path, img, true);
        case ImageKind::JpegPair: {
            std::string stem = a.file.substr(0, a.file.rfind('.'));
            return WriteJpeg(path, img) && WriteAlphaJpeg(dir + "/" + stem + "alpha.jpg", img);
        }
    }
    return false;
}

}  // namespace

std::vector<std::string> WriteDataTree(const std::string& root, unsigned threads) {
    std::string dir = root + "/data";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    // Font lookups go through fontconfig once, before the workers start.
    for (Face f : {Face::Sans, Face::SansBold, Face::SansCondensedBold, Face::Serif, Face::SerifBold, Face::MonoBold})
        FacePath(f);

    struct Job {
        std::string name;
        std::function<bool()> run;
    };
    std::vector<Job> jobs;
    for (const ImageAsset& a : ImageAssets()) jobs.push_back({a.file, [dir, a] { return WriteImage(dir, a); }});
    for (const MeshAsset& m : MeshAssets()) jobs.push_back({m.file, [dir, m] { return WriteObj(dir + "/" + m.file, m.make()); }});
    jobs.push_back({"layer.ini", [dir] { return WriteText(dir + "/layer.ini", LayerIni()); }});
    jobs.push_back({"napisy.ini", [dir] { return WriteText(dir + "/napisy.ini", CaptionsIni()); }});

    std::atomic<size_t> next{0};
    std::mutex lock;
    std::vector<std::string> failed;
    auto worker = [&] {
        for (size_t i; (i = next++) < jobs.size();)
            if (!jobs[i].run()) {
                std::lock_guard<std::mutex> g(lock);
                failed.push_back(jobs[i].name);
            }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < std::max(1u, threads); ++t) pool.emplace_back(worker);
    worker();
    for (auto& t : pool) t.join();
    std::sort(failed.begin(), failed.end());
    return failed;
}

}  // namespace assetgen
