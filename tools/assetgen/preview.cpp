// preview.cpp - contact sheet and a small z-buffered rasteriser for the meshes.
#include "preview.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "imagefile.h"
#include "imageread.h"
#include "mesh.h"
#include "text.h"

namespace assetgen {
namespace {

constexpr int kCell = 256, kLabel = 18;

void Label(Image& sheet, int x, int y, const std::string& s) {
    TextMask m = RenderText(Face::Sans, 13, s);
    DrawText(sheet, m, x + 2, y, {1, 1, 1, 1});
}

// Fits the picture into a kCell square (box filter on shrink), over a checkerboard for alpha.
void Thumb(Image& sheet, int ox, int oy, const Decoded& d) {
    float s = std::min({1.0f, static_cast<float>(kCell) / d.w, static_cast<float>(kCell) / d.h});
    int tw = std::max(1, static_cast<int>(d.w * s)), th = std::max(1, static_cast<int>(d.h * s));
    for (int y = 0; y < th; ++y)
        for (int x = 0; x < tw; ++x) {
            int x0 = static_cast<int>(x / s), x1 = std::max(x0 + 1, static_cast<int>((x + 1) / s));
            int y0 = static_cast<int>(y / s), y1 = std::max(y0 + 1, static_cast<int>((y + 1) / s));
            float acc[4] = {0, 0, 0, 0};
            int n = 0;
            for (int j = y0; j < std::min(y1, d.h); ++j)
                for (int i = x0; i < std::min(x1, d.w); ++i, ++n)
                    for (int c = 0; c < 4; ++c) acc[c] += d.rgba[(static_cast<size_t>(j) * d.w + i) * 4 + c] / 255.0f;
            float checker = ((x / 8 + y / 8) & 1) ? 0.6f : 0.4f;
            Rgba p{checker, checker, checker, 1};
            Over(p, {acc[0] / n, acc[1] / n, acc[2] / n, 1}, acc[3] / n);
            sheet.at(ox + x, oy + y) = p;
        }
}

Image RenderMesh(const Mesh& m) {
    constexpr int ss = 2, size = kCell * ss;
    Image img(size, size, {0.1f, 0.1f, 0.14f, 1});
    std::vector<float> depth(static_cast<size_t>(size) * size, 1e30f);
    // A view from above and to the side, like most of the scenes' cameras.
    float ay = 0.6f, ax = -0.75f;
    auto view = [&](Vec3 p) {
        Vec3 a{p.x * std::cos(ay) + p.z * std::sin(ay), p.y, -p.x * std::sin(ay) + p.z * std::cos(ay)};
        return Vec3{a.x, a.y * std::cos(ax) - a.z * std::sin(ax), a.y * std::sin(ax) + a.z * std::cos(ax)};
    };
    float extent = 1e-6f;
    for (const auto& p : m.pos) extent = std::max(extent, Length(p));
    float k = size * 0.46f / extent;
    Vec3 light = Normalise({-0.4f, 0.8f, -0.5f});
    for (size_t f = 0; f < m.faces.size(); ++f) {
        Vec3 v[3];
        for (int i = 0; i < 3; ++i) {
            Vec3 p = view(m.pos[m.faces[f][i]]);
            v[i] = {size * 0.5f + p.x * k, size * 0.5f - p.y * k, p.z};
        }
        // The files' normals point into the solid; the preview shades the outside.
        Vec3 n = Normalise(LoaderFaceNormal(m, f) * -1.0f);
        Vec3 nv = view(n);
        float shade = 0.2f + 0.8f * std::fabs(Dot(Normalise(nv), light));
        bool front = nv.z < 0;
        Rgba col = front ? Rgba{0.95f * shade, 0.85f * shade, 0.6f * shade, 1} : Rgba{0.4f * shade, 0.55f * shade, 0.9f * shade, 1};
        int x0 = std::max(0, static_cast<int>(std::floor(std::min({v[0].x, v[1].x, v[2].x}))));
        int x1 = std::min(size - 1, static_cast<int>(std::ceil(std::max({v[0].x, v[1].x, v[2].x}))));
        int y0 = std::max(0, static_cast<int>(std::floor(std::min({v[0].y, v[1].y, v[2].y}))));
        int y1 = std::min(size - 1, static_cast<int>(std::ceil(std::max({v[0].y, v[1].y, v[2].y}))));
        float area = (v[1].x - v[0].x) * (v[2].y - v[0].y) - (v[2].x - v[0].x) * (v[1].y - v[0].y);
        if (std::fabs(area) < 1e-9f) continue;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                float px = x + 0.5f, py = y + 0.5f;
                float w0 = ((v[1].x - px) * (v[2].y - py) - (v[2].x - px) * (v[1].y - py)) / area;
                float w1 = ((v[2].x - px) * (v[0].y - py) - (v[0].x - px) * (v[2].y - py)) / area;
                float w2 = 1 - w0 - w1;
                if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                float z = w0 * v[0].z + w1 * v[1].z + w2 * v[2].z;
                float& d = depth[static_cast<size_t>(y) * size + x];
                if (z < d) {
                    d = z;
                    img.at(x, y) = col;
                }
            }
    }
    return Downscale(img, ss);
}

// The picture as a band quad shows it: its top 384 rows stretched over the 800 x 400 band between
// the letterbox bars, at half size (400 x 300).
void BandView(Image& sheet, int ox, int oy, const Decoded& d) {
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) {
            Rgba p{0, 0, 0, 1};
            if (y >= 50 && y < 250) {
                int sx = std::min(d.w - 1, x * d.w / 400), sy = std::min(d.h - 1, (y - 50) * 384 / 200);
                const uint8_t* q = &d.rgba[(static_cast<size_t>(sy) * d.w + sx) * 4];
                p = {q[0] / 255.0f, q[1] / 255.0f, q[2] / 255.0f, 1};
            }
            sheet.at(ox + x, oy + y) = p;
        }
}

}  // namespace

bool WritePreviews(const std::string& root) {
    std::string dir = root + "/data";
    std::vector<std::string> images, meshes;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
        std::string name = e.path().filename().string();
        std::string ext = e.path().extension().string();
        if (ext == ".jpg" || ext == ".png") images.push_back(name);
        if (ext == ".obj") meshes.push_back(name);
    }
    std::sort(images.begin(), images.end());
    std::sort(meshes.begin(), meshes.end());
    bool ok = true;

    int cols = 8, rows = static_cast<int>((images.size() + cols - 1) / cols);
    Image sheet(cols * kCell, std::max(1, rows) * (kCell + kLabel), {0.08f, 0.08f, 0.1f, 1});
    for (size_t i = 0; i < images.size(); ++i) {
        Decoded d;
        int ox = static_cast<int>(i % cols) * kCell, oy = static_cast<int>(i / cols) * (kCell + kLabel);
        if (!ReadImage(dir + "/" + images[i], d)) {
            ok = false;
            Label(sheet, ox, oy + kCell, images[i] + " UNREADABLE");
            continue;
        }
        Thumb(sheet, ox, oy, d);
        Label(sheet, ox, oy + kCell, images[i] + "  " + std::to_string(d.w) + "x" + std::to_string(d.h));
    }
    ok = WritePng(root + "/contact.png", sheet, false) && ok;

    int mcols = 5, mrows = static_cast<int>((meshes.size() + mcols - 1) / mcols);
    Image sheet2(mcols * kCell, std::max(1, mrows) * (kCell + kLabel), {0.08f, 0.08f, 0.1f, 1});
    for (size_t i = 0; i < meshes.size(); ++i) {
        Mesh m;
        int ox = static_cast<int>(i % mcols) * kCell, oy = static_cast<int>(i / mcols) * (kCell + kLabel);
        if (!ReadObj(dir + "/" + meshes[i], m)) {
            ok = false;
            continue;
        }
        Image r = RenderMesh(m);
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x) sheet2.at(ox + x, oy + y) = r.at(x, y);
        Label(sheet2, ox, oy + kCell, meshes[i] + "  " + std::to_string(m.pos.size()) + " v  " + std::to_string(m.faces.size()) + " f");
    }
    ok = WritePng(root + "/meshes.png", sheet2, false) && ok;

    const char* bands[] = {"news.jpg", "fx4.jpg", "under.jpg", "tarnel.png", "shibumi.jpg", "vosk.png", "8802.jpg"};
    Image sheet3(2 * 400, 4 * (300 + kLabel), {0.08f, 0.08f, 0.1f, 1});
    for (int i = 0; i < static_cast<int>(std::size(bands)); ++i) {
        Decoded d;
        int ox = (i % 2) * 400, oy = (i / 2) * (300 + kLabel);
        if (!ReadImage(dir + "/" + bands[i], d)) continue;
        BandView(sheet3, ox, oy, d);
        Label(sheet3, ox, oy + 300, bands[i]);
    }
    ok = WritePng(root + "/bands.png", sheet3, false) && ok;
    return ok;
}

}  // namespace assetgen
