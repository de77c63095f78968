// Start-up costs of the resources: mesh parsing, vertex normals (one pass against the per-vertex
// scan over every face), JPEG decoding, and loading every image and mesh under the run folder's
// data/ into a real device, the way the show's start-up does.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/d3d8/d3d8.h"
#include "platform/jpeg/jpeg.h"
#include "platform/window/offscreen_window.h"
#include "platform/window/window.h"
#include "support/device.h"
#include "resources/image_load.h"
#include "resources/mesh_file.h"
#include "resources/object.h"
#include "resources/texture_manager.h"

namespace {

// A closed, bumpy sphere of about the size of the show's larger meshes.
velunar::mesh::MeshData Sphere(int rings, int segments) {
    velunar::mesh::MeshData m;
    for (int r = 0; r <= rings; ++r)
        for (int s = 0; s < segments; ++s) {
            const float th = 3.14159265f * static_cast<float>(r) / static_cast<float>(rings);
            const float ph = 6.2831853f * static_cast<float>(s) / static_cast<float>(segments);
            const float rad = 100.0f + 5.0f * std::sin(7.0f * ph) * std::sin(5.0f * th);
            m.vertices.push_back(MeshVertex{rad * std::sin(th) * std::cos(ph), rad * std::cos(th),
                                            rad * std::sin(th) * std::sin(ph), 0, 0, 0, 0, 0});
        }
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < segments; ++s) {
            const auto i = static_cast<WORD>(r * segments + s);
            const auto j = static_cast<WORD>(r * segments + (s + 1) % segments);
            const auto k = static_cast<WORD>(i + segments);
            const auto l = static_cast<WORD>(j + segments);
            m.faces.push_back(MeshFace{i, j, k});
            m.faces.push_back(MeshFace{j, l, k});
        }
    return m;
}

std::vector<unsigned char> FileImage(const velunar::mesh::MeshData& m) {
    std::vector<unsigned char> b;
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
    };
    auto f32 = [&](float f) {
        std::uint32_t u;
        std::memcpy(&u, &f, 4);
        u32(u);
    };
    u32(0);
    u32(0);
    u32(static_cast<std::uint32_t>(m.vertices.size()));
    u32(static_cast<std::uint32_t>(m.faces.size()));
    for (const auto& v : m.vertices) {
        f32(v.x);
        f32(v.y);
        f32(v.z);
        f32(v.u);
        f32(v.v);
    }
    for (const auto& f : m.faces) {
        u32(f.a);
        u32(f.b);
        u32(f.c);
    }
    return b;
}

// The formulation the one pass replaces: for every vertex, scan every face.
void NormalsByScan(std::vector<MeshVertex>& v, const std::vector<MeshFace>& f, std::vector<MeshNormal>& fn) {
    for (std::size_t j = 0; j < f.size(); ++j) {
        const MeshVertex &p = v[f[j].a], &q = v[f[j].b], &r = v[f[j].c];
        const float e1x = p.x - q.x, e1y = p.y - q.y, e1z = p.z - q.z;
        const float e2x = q.x - r.x, e2y = q.y - r.y, e2z = q.z - r.z;
        fn[j] = velunar::mesh::Normalize(
            MeshNormal{e1y * e2z - e1z * e2y, e1z * e2x - e1x * e2z, e1x * e2y - e1y * e2x});
    }
    for (std::size_t i = 0; i < v.size(); ++i) {
        MeshNormal s{0, 0, 0};
        unsigned k = 0;
        for (std::size_t j = 0; j < f.size(); ++j)
            if (f[j].a == i || f[j].b == i || f[j].c == i) {
                s.x += fn[j].x;
                s.y += fn[j].y;
                s.z += fn[j].z;
                ++k;
            }
        if (k) s = MeshNormal{s.x / static_cast<float>(k), s.y / static_cast<float>(k), s.z / static_cast<float>(k)};
        const MeshNormal n = velunar::mesh::Normalize(s);
        v[i].nx = n.x;
        v[i].ny = n.y;
        v[i].nz = n.z;
    }
}

void BM_NormalsOnePass(benchmark::State& state) {
    auto m = Sphere(static_cast<int>(state.range(0)), static_cast<int>(state.range(0)) * 2);
    std::vector<MeshNormal> fn(m.faces.size());
    for (auto _ : state) {
        velunar::mesh::ComputeNormals(m.vertices.data(), static_cast<unsigned>(m.vertices.size()), m.faces.data(),
                                      static_cast<unsigned>(m.faces.size()), fn.data());
        benchmark::DoNotOptimize(m.vertices.data());
    }
    state.counters["vertices"] = static_cast<double>(m.vertices.size());
}
BENCHMARK(BM_NormalsOnePass)->Arg(16)->Arg(40);

void BM_NormalsScanEveryFace(benchmark::State& state) {
    auto m = Sphere(static_cast<int>(state.range(0)), static_cast<int>(state.range(0)) * 2);
    std::vector<MeshNormal> fn(m.faces.size());
    for (auto _ : state) {
        NormalsByScan(m.vertices, m.faces, fn);
        benchmark::DoNotOptimize(m.vertices.data());
    }
    state.counters["vertices"] = static_cast<double>(m.vertices.size());
}
BENCHMARK(BM_NormalsScanEveryFace)->Arg(16)->Arg(40);

void BM_ParseMesh(benchmark::State& state) {
    const auto bytes = FileImage(Sphere(40, 80));
    velunar::mesh::MeshData out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(velunar::mesh::ParseMesh(bytes.data(), bytes.size(), out, nullptr));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ParseMesh);

std::string BenchDir() {
    const std::string dir = std::filesystem::temp_directory_path().string() + "/velunar_resources_bench";
    std::filesystem::create_directories(dir);
    return dir;
}

void BM_LoadJpg256(benchmark::State& state) {
    const std::string path = BenchDir() + "/pic256.jpg";
    std::vector<std::uint8_t> rgb(256 * 256 * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>((i * 37) ^ (i >> 9));
    velunar::jpeg::EncodeFile(path.c_str(), rgb.data(), 256, 256, 90);
    for (auto _ : state) {
        std::unique_ptr<BYTE[]> px(LoadJpg(path.c_str(), nullptr, nullptr));
        benchmark::DoNotOptimize(px.get());
    }
}
BENCHMARK(BM_LoadJpg256);

// Every image and mesh below the run folder's data/, loaded as start-up loads them: images
// through the texture table (JPEGs once plainly and once with auto alpha), meshes constructed,
// given normals and sphere-map coordinates and uploaded.
void BM_ShowStartupLoad(benchmark::State& state) {
    // VELUNAR_DATA_DIR points at another build's generated data/ when this one has none.
    const char* override = std::getenv("VELUNAR_DATA_DIR");
    const std::filesystem::path data =
        override ? std::filesystem::path(override) : std::filesystem::path(VELUNAR_RUN_DIR) / "data";
    std::vector<std::string> images, meshes;
    if (std::filesystem::is_directory(data))
        for (const auto& e : std::filesystem::directory_iterator(data)) {
            const std::string ext = e.path().extension().string();
            if (ext == ".jpg" || ext == ".png") images.push_back(e.path().string());
            if (ext == ".obj") meshes.push_back(e.path().string());
        }
    if (images.empty() && meshes.empty()) {
        state.SkipWithError("no data/ in the run folder: build the assets first");
        return;
    }
    std::sort(images.begin(), images.end());
    std::sort(meshes.begin(), meshes.end());
    HWND hWnd = velunar::window::CreateOffscreenWindow(64, 64);
    IDirect3D8* d3d = Direct3DCreate8(D3D_SDK_VERSION);
    D3DDISPLAYMODE mode{};
    IDirect3DDevice8* dev = nullptr;
    if (d3d) d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode);
    if (d3d) dev = velunar_test::CreateDevice(d3d, hWnd, 64, 64, mode.Format, false);
    if (!dev) {
        state.SkipWithError("no device");
        return;
    }
    for (auto _ : state) {
        CTextureManager tm(dev, d3d, static_cast<DWORD>(mode.Format));
        int n = 0;
        for (const auto& f : images) {
            tm.Load(f.c_str(), ("t" + std::to_string(n++)).c_str());
            if (f.size() > 4 && f.compare(f.size() - 4, 4, ".jpg") == 0)
                tm.LoadAutoAlpha(f.c_str(), ("a" + std::to_string(n++)).c_str());
        }
        for (const auto& f : meshes) {
            cObject obj(f.c_str(), dev);
            obj.ComputeNormals();
            obj.SphereMapUV();
            obj.UpdateBuffers();
        }
    }
    state.counters["images"] = static_cast<double>(images.size());
    state.counters["meshes"] = static_cast<double>(meshes.size());
    dev->Release();
    d3d->Release();
    DestroyWindow(hWnd);
}
BENCHMARK(BM_ShowStartupLoad)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
