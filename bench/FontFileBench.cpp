// glyphmill's import of a TrueType font (all 256 codes of DejaVu Sans Mono at
// 4 bytes high, opening the file included) and its sheet of a full image of
// 16 such fonts at the default scale, PNG encoding and writing included.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "Charsets.h"
#include "FontImage.h"
#include "FontImport.h"
#include "Pictures.h"

namespace {

const char* const kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

bool ImportDejaVu(FontImage& image, int index) {
    FontImportResult failure;
    const std::unique_ptr<FontReader> file = OpenFontFile(kDejaVu, failure);
    FontImportRequest request;
    request.font = index;
    request.height = 4;
    return file && ImportFontFile(*file, request, image);
}

void BM_ImportTrueTypeAtHeight4(benchmark::State& state) {
    FontImage image;
    image.InitNew();
    for (auto _ : state) {
        if (!ImportDejaVu(image, 0)) state.SkipWithError("not imported");
    }
}
BENCHMARK(BM_ImportTrueTypeAtHeight4)->Unit(benchmark::kMillisecond);

void BM_SheetOf16Fonts(benchmark::State& state) {
    FontImage image;
    image.InitNew();
    while (image.AddFont()) {
    }
    // The sixteenth font, which only a loaded image brings.
    InsertFont(image, 15);
    for (int i = 0; i < image.GetFontCount(); ++i) {
        if (!ImportDejaVu(image, i)) state.SkipWithError("not imported");
    }
    std::string error;
    const std::string path = "/tmp/glyphmill_bench_" + std::to_string(::getpid()) + ".png";
    std::vector<uint8_t> png;
    for (auto _ : state) {
        if (!EncodePng(SheetOf(image, 0, 15, DefaultCharset()), 4, png, error) || !WriteFileAtomically(path, png.data(), png.size()))
            state.SkipWithError("not written");
    }
    state.counters["png_bytes"] = static_cast<double>(png.size());
    std::remove(path.c_str());
}
BENCHMARK(BM_SheetOf16Fonts)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
