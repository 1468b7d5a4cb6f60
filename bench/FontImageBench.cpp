// Save and Load of a full image: fifteen fonts, every symbol inked, both
// banks nearly full. In memory (Serialize/Deserialize) and through a file.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "FontImage.h"
#include "Results.h"

namespace {

void MakeFullImage(FontImage& image) {
    image.InitNew();
    while (image.AddFont()) {
    }
    std::mt19937 random(7);
    for (int i = 0; i < image.GetFontCount(); ++i) {
        image.SetFontHeight(i, 2);
        for (int code = 0; code < Font::kSymbolCount; ++code) {
            Symbol& symbol = image.FontAt(i).At(code);
            symbol.width = 6;
            for (int b = 0; b < symbol.ByteCount(); ++b) symbol.data[b] = static_cast<uint8_t>(random() & 0x7F);
        }
    }
}

std::string BenchPath() { return "/tmp/glyphmill_bench_" + std::to_string(::getpid()) + ".bin"; }

void BM_Serialize(benchmark::State& state) {
    FontImage image;
    MakeFullImage(image);
    std::vector<uint8_t> bytes;
    for (auto _ : state) {
        if (image.Serialize(bytes) != SaveResult::kSaved) state.SkipWithError("not saved");
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_Serialize)->Unit(benchmark::kMicrosecond);

void BM_Deserialize(benchmark::State& state) {
    FontImage image;
    MakeFullImage(image);
    std::vector<uint8_t> bytes;
    image.Serialize(bytes);
    FontImage loaded;
    for (auto _ : state) {
        if (loaded.Deserialize(bytes.data(), bytes.size()) != LoadResult::kLoaded) state.SkipWithError("not loaded");
    }
}
BENCHMARK(BM_Deserialize)->Unit(benchmark::kMicrosecond);

void BM_Save(benchmark::State& state) {
    FontImage image;
    MakeFullImage(image);
    const std::string path = BenchPath();
    for (auto _ : state) {
        if (image.Save(path) != SaveResult::kSaved) state.SkipWithError("not saved");
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_Save)->Unit(benchmark::kMicrosecond);

void BM_Load(benchmark::State& state) {
    FontImage image;
    MakeFullImage(image);
    const std::string path = BenchPath();
    image.Save(path);
    FontImage loaded;
    for (auto _ : state) {
        if (loaded.Load(path) != LoadResult::kLoaded) state.SkipWithError("not loaded");
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_Load)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
