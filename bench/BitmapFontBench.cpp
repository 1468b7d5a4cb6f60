// glyphmill import of the bitmap font files of 256 glyphs through the whole
// engine, as the command runs it: the file opened, read and unpacked, its
// reader chosen, and every symbol of a font filled. A console font
// (Lat15-Terminus16, a gzip'ed PSF1 of 8 x 16 with a Unicode table), 256
// lines of Unifont's .hex, and a 16 x 16 sheet of that console font as sheet
// --grid draws it.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "FontImage.h"
#include "FontImport.h"
#include "FontSheet.h"
#include "Pictures.h"

namespace {

const char* const kConsoleFont = "/usr/share/consolefonts/Lat15-Terminus16.psf.gz";

std::string Scratch(const std::string& name) {
    return "/tmp/glyphmill_bench_" + std::to_string(::getpid()) + "_" + name;
}

bool Import(const std::string& path, FontImage& image) {
    FontImportResult result;
    const std::unique_ptr<FontReader> file = OpenFontFile(path, result);
    FontImportRequest request;
    request.font = 0;
    request.charset = "cp437";
    return file && ImportFontFile(*file, request, image);
}

void BenchImport(benchmark::State& state, const std::string& path) {
    FontImage image;
    image.InitNew();
    for (auto _ : state) {
        if (!Import(path, image)) state.SkipWithError("not imported");
    }
}

void BM_ImportConsolePsf(benchmark::State& state) { BenchImport(state, kConsoleFont); }
BENCHMARK(BM_ImportConsolePsf)->Unit(benchmark::kMicrosecond);

void BM_ImportUnifontHex256(benchmark::State& state) {
    std::ifstream unifont("/usr/share/unifont/unifont.hex");
    std::string text, line;
    for (int i = 0; i < 256 && std::getline(unifont, line); ++i) text += line + "\n";
    const std::string path = Scratch("256.hex");
    if (!WriteFileAtomically(path, reinterpret_cast<const uint8_t*>(text.data()), text.size()))
        state.SkipWithError("not written");
    BenchImport(state, path);
    std::remove(path.c_str());
}
BENCHMARK(BM_ImportUnifontHex256)->Unit(benchmark::kMicrosecond);

void BM_ImportSheetPng(benchmark::State& state) {
    FontImage image;
    image.InitNew();
    std::vector<uint8_t> png;
    std::string error;
    const std::string path = Scratch("sheet.png");
    if (!Import(kConsoleFont, image) || !EncodePng(GridSheetOf(image.FontAt(0)), 1, png, error) ||
        !WriteFileAtomically(path, png.data(), png.size()))
        state.SkipWithError("no sheet");
    BenchImport(state, path);
    std::remove(path.c_str());
}
BENCHMARK(BM_ImportSheetPng)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
