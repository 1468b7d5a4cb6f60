// What the one import promises of a font file of any bytes: it is refused
// with a reason, or every code gets a symbol that stays inside the model, and
// the font saves and is written back in each format glyphmill exports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Charsets.h"
#include "FontExport.h"
#include "FontImage.h"
#include "FontImport.h"

// Opens data as the engine opens a file at path with layout, and imports it
// as glyphmill import does (the charset and height chosen by the size).
inline void ImportAndCheck(const uint8_t* data, size_t size, const std::string& path,
                           const FontFileLayout& layout = {}) {
    FontImportResult failure;
    const std::unique_ptr<FontReader> reader =
        FontFromBytes(std::vector<uint8_t>(data, data + size), path, failure, layout);
    if (!reader) {
        if (failure.error.empty()) __builtin_trap();
        return;
    }
    FontImage image;
    if (!image.InitNew()) return;
    FontImportRequest request;
    request.font = 0;
    request.charset = size % 2 ? "raw" : "cp1252";
    request.height = static_cast<int>(size % 5);  // 0 for the default
    request.monospace = size % 3 == 0;
    const FontImportResult imported = ImportFontFile(*reader, request, image);
    if (!imported) {
        if (imported.error.empty()) __builtin_trap();
        return;
    }
    const ImportSummary& summary = imported.summary;
    if (summary.imported + summary.missing != Font::kSymbolCount || summary.imported == 0) __builtin_trap();
    const Font& font = image.FontAt(0);
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        const Symbol& symbol = font.At(code);
        if (symbol.width < 1 || symbol.height != font.GetHeight() || symbol.ByteCount() > Symbol::kDataSize)
            __builtin_trap();
    }
    std::vector<uint8_t> bytes;
    image.Serialize(bytes);
    Charset charset;
    std::string error;
    if (!LoadCharset(request.charset, charset, error)) __builtin_trap();
    for (const ExportFormat format : {ExportFormat::kBdf, ExportFormat::kPsf, ExportFormat::kHex}) {
        if (!ExportFont(format, font, charset, BdfStyle{}, bytes, error) && error.empty()) __builtin_trap();
    }
}
