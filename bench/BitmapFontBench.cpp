// Reading the bitmap font files of 256 glyphs, opening and unpacking
// included: a console font (Lat2-Terminus16, 8 x 16, gzip'ed PSF2 with a
// table), 256 lines of Unifont's .hex, and a 16 x 16 sheet of Terminus as
// glyphmill draws it.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Charsets.h"
#include "FontFile.h"
#include "FontImage.h"
#include "FontSheet.h"
#include "HexFile.h"
#include "PsfFile.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string Scratch(const std::string& name) {
    return "/tmp/glyphmill_bench_" + std::to_string(::getpid()) + "_" + name;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void BM_ReadConsolePsf(benchmark::State& state) {
    BitmapFont font;
    std::string error;
    for (auto _ : state) {
        if (!ReadPsf(Bytes("/usr/share/consolefonts/Lat2-Terminus16.psf.gz"), font, error))
            state.SkipWithError("not read");
    }
}
BENCHMARK(BM_ReadConsolePsf)->Unit(benchmark::kMicrosecond);

void BM_ReadUnifontHex256(benchmark::State& state) {
    std::ifstream unifont("/usr/share/unifont/unifont.hex");
    std::string text, line;
    for (int i = 0; i < 256 && std::getline(unifont, line); ++i) text += line + "\n";
    const std::string path = Scratch("256.hex");
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
    BitmapFont font;
    std::string error;
    for (auto _ : state) {
        if (!ReadHex(Bytes(path), font, error)) state.SkipWithError("not read");
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadUnifontHex256)->Unit(benchmark::kMicrosecond);

void BM_ReadSheetPng(benchmark::State& state) {
    Charset charset;
    std::string error;
    LoadCharset("cp1252", charset, error);
    FontImage image;
    image.InitNew();
    const std::unique_ptr<FontFile> file = FontFile::Open("/usr/share/fonts/X11/misc/ter-u16n_unicode.pcf.gz", error);
    ImportRequest request;
    request.charset = &charset;
    ImportSummary summary;
    std::vector<uint8_t> png;
    if (!file || !file->Import(request, image, 0, summary, error) ||
        !EncodePng(GridSheetOf(image.FontAt(0)), 1, png, error))
        state.SkipWithError("no sheet");
    const std::string path = Scratch("sheet.png");
    WriteBytes(path, png);
    BitmapFont font;
    for (auto _ : state) {
        if (!ReadSheetPicture(Bytes(path), 0, 0, font, error)) state.SkipWithError("not read");
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadSheetPng)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
