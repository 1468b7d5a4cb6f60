// Decoding a 128 x 32 picture for the symbol import, one of each kind that
// common programs write: 24 bits under a V5 header, RLE8, and 32 bits with
// an alpha mask. From the bytes in memory to the import's cells:
//   build/host/bench/bitmap_decode_bench
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "BmpWriter.h"
#include "SymbolPicture.h"

namespace {

constexpr int kWidth = 128;
constexpr int kHeight = 32;

// Strokes of a few pixels on a white ground, so runs are of mixed lengths.
bool IsStroke(int x, int y) { return (x / 3 + y) % 7 < 2 || (x * y) % 11 == 3; }

std::vector<uint8_t> Rgb24V5() {
    const int stride = (kWidth * 3 + 3) / 4 * 4;
    std::vector<uint8_t> pixels(static_cast<size_t>(stride) * kHeight, 0);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const uint8_t level = IsStroke(x, y) ? 0x20 : 0xF0;
            for (int c = 0; c < 3; ++c) pixels[static_cast<size_t>(y) * stride + 3 * x + c] = level;
        }
    }
    return AssembleBmp({124, kWidth, kHeight, 24, 0, {}, {}, {}, pixels});
}

std::vector<uint8_t> Rle8() {
    std::vector<uint8_t> stream;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth;) {
            const bool stroke = IsStroke(x, y);
            int run = 1;
            while (x + run < kWidth && run < 255 && IsStroke(x + run, y) == stroke) ++run;
            stream.push_back(static_cast<uint8_t>(run));
            stream.push_back(stroke ? 0 : 1);
            x += run;
        }
        stream.insert(stream.end(), {0, 0});
    }
    stream.insert(stream.end(), {0, 1});
    return AssembleBmp({40, kWidth, kHeight, 8, 1, {}, {}, BlackWhiteTable(), stream});
}

std::vector<uint8_t> Argb32V5() {
    std::vector<uint8_t> pixels;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            // Black strokes on a transparent ground.
            const uint32_t pixel = IsStroke(x, y) ? 0xFF000000u : 0x00FFFFFFu;
            for (int b = 0; b < 4; ++b) pixels.push_back(static_cast<uint8_t>(pixel >> (8 * b)));
        }
    }
    return AssembleBmp({124, kWidth, kHeight, 32, 3, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, {}, {}, pixels});
}

void Decode(benchmark::State& state, const std::vector<uint8_t>& file) {
    ImportPicture picture;
    for (auto _ : state) {
        if (ReadPicture(file.data(), file.size(), kHeight, &picture) != PictureProblem::kNone) {
            state.SkipWithError("refused");
            break;
        }
        benchmark::DoNotOptimize(picture.cells.data());
    }
}

void BM_DecodeRgb24V5(benchmark::State& state) { Decode(state, Rgb24V5()); }
void BM_DecodeRle8(benchmark::State& state) { Decode(state, Rle8()); }
void BM_DecodeArgb32V5(benchmark::State& state) { Decode(state, Argb32V5()); }
BENCHMARK(BM_DecodeRgb24V5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeRle8)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeArgb32V5)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
