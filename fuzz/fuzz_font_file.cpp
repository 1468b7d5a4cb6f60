// The import of font files over arbitrary bytes: FreeType reads them, and
// whatever metrics and bitmaps it reports, the sampling must stay inside the
// symbols and leave a font that saves and exports.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "BdfWriter.h"
#include "Charsets.h"
#include "FontFile.h"
#include "FontImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Charset cp1252, raw;
    static const bool charsets = [] {
        std::string error;
        return LoadCharset("cp1252", cp1252, error) && LoadCharset("raw", raw, error);
    }();
    if (!charsets) __builtin_trap();

    std::string error;
    const std::unique_ptr<FontFile> file = FontFile::FromBytes(std::vector<uint8_t>(data, data + size), error);
    if (!file) return 0;
    FontImage image;
    if (!image.InitNew()) return 0;
    ImportRequest request;
    request.charset = size % 2 ? &raw : &cp1252;
    request.height = static_cast<int>(size % 5);  // 0 for the default
    ImportSummary summary;
    if (!file->Import(request, image, 0, summary, error)) return 0;
    if (summary.imported + summary.missing != Font::kSymbolCount) __builtin_trap();
    std::vector<uint8_t> bytes;
    image.Serialize(bytes);
    BdfOf(image.FontAt(0), *request.charset);
    return 0;
}
