// Texture loading costs: the stretch to powers of two by filter, the mip chain, JPEG decoding with
// and without our BGRX-to-ARGB step, and 16-bit packing with and without dither.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/d3dx8/image.h"
#include "platform/jpeg/jpeg.h"

namespace {

using namespace velunar::d3dx;

Bitmap Noise(int w, int h) {
    Bitmap b;
    b.width = w;
    b.height = h;
    b.argb.resize(static_cast<std::size_t>(w) * h);
    std::uint32_t s = 1;
    for (auto& p : b.argb) p = (s = s * 214013u + 2531011u);
    return b;
}

void BM_Resample(benchmark::State& state) {
    const Bitmap src = Noise(640, 480);
    const auto filter = static_cast<Filter>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(Resample(src, 1024, 512, filter));
    state.SetLabel(filter == Filter::Point ? "point" : filter == Filter::Linear ? "linear" : "triangle");
}
BENCHMARK(BM_Resample)->Arg(static_cast<int>(Filter::Point))->Arg(static_cast<int>(Filter::Linear))
    ->Arg(static_cast<int>(Filter::Triangle))->Unit(benchmark::kMillisecond);

void BM_MipChain512(benchmark::State& state) {
    const Bitmap top = Noise(512, 512);
    for (auto _ : state) {
        Bitmap level = top;
        while (level.width > 1 || level.height > 1) level = HalveBox(level);
        benchmark::DoNotOptimize(level);
    }
}
BENCHMARK(BM_MipChain512)->Unit(benchmark::kMillisecond);

std::vector<std::uint8_t> JpegBytes() {
    std::vector<std::uint8_t> rgb(512 * 512 * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>((i * 7) ^ (i >> 9));
    std::filesystem::create_directories(VELUNAR_TEST_TMP);
    const std::string path = std::string(VELUNAR_TEST_TMP) + "/bench.jpg";
    velunar::jpeg::EncodeFile(path.c_str(), rgb.data(), 512, 512, 90);
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void BM_JpegDecodeRaw(benchmark::State& state) {
    const auto bytes = JpegBytes();
    for (auto _ : state) {
        velunar::jpeg::Image img;
        velunar::jpeg::DecodeMemory(bytes.data(), bytes.size(), img, nullptr);
        benchmark::DoNotOptimize(img.bgrx.data());
    }
}
BENCHMARK(BM_JpegDecodeRaw)->Unit(benchmark::kMillisecond);

void BM_JpegDecodeToArgb(benchmark::State& state) {
    const auto bytes = JpegBytes();
    for (auto _ : state) {
        Bitmap b;
        DecodeImageMemory(bytes.data(), bytes.size(), b, nullptr);
        benchmark::DoNotOptimize(b.argb.data());
    }
}
BENCHMARK(BM_JpegDecodeToArgb)->Unit(benchmark::kMillisecond);

void BM_PackR5G6B5(benchmark::State& state) {
    const Bitmap src = Noise(512, 512);
    std::vector<std::uint16_t> out(512);
    const bool dither = state.range(0) != 0;
    for (auto _ : state)
        for (int y = 0; y < 512; ++y) {
            PackRow(src.argb.data() + y * 512, 512, D3DFMT_R5G6B5, dither, y, out.data());
            benchmark::ClobberMemory();
        }
    state.SetLabel(dither ? "dither" : "plain");
}
BENCHMARK(BM_PackR5G6B5)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
