// The import of font files over arbitrary bytes: the readers take them, and
// whatever metrics and bitmaps they report, the sampling must stay inside the
// symbols and leave a font that saves and exports.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "BdfWriter.h"
#include "Charsets.h"
#include "FontImage.h"
#include "FontImport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FontImportResult failure;
    const std::unique_ptr<FontReader> reader = FontFromBytes(std::vector<uint8_t>(data, data + size), "input", failure);
    if (!reader) return 0;
    FontImage image;
    if (!image.InitNew()) return 0;
    FontImportRequest request;
    request.font = 0;
    request.charset = size % 2 ? "raw" : "cp1252";
    request.height = static_cast<int>(size % 5);  // 0 for the default
    const FontImportResult imported = ImportFontFile(*reader, request, image);
    if (!imported) return 0;
    const ImportSummary& summary = imported.summary;
    if (summary.imported + summary.missing != Font::kSymbolCount || summary.imported == 0) __builtin_trap();
    std::vector<uint8_t> bytes;
    image.Serialize(bytes);
    Charset charset;
    std::string error;
    if (!LoadCharset(request.charset, charset, error)) __builtin_trap();
    BdfOf(image.FontAt(0), charset);
    return 0;
}
