// The symbol import reads .bmp files and clipboard DIBs from anywhere: every
// byte string must be refused or decoded (every header kind, colour masks,
// alpha, RLE8 and RLE4) without reading or writing out of bounds.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "BmpReader.h"
#include "SymbolPicture.h"

namespace {

void CheckPicture(const ImportPicture& picture, int rowCount) {
    if (picture.columns < 1 || picture.columns > kMaxImportWidth || picture.rows != rowCount ||
        picture.cells.size() != static_cast<size_t>(picture.columns) * rowCount) {
        __builtin_trap();
    }
}

// The decode of a checked file reads nothing but the parts its layout names:
// given only those, in a buffer of their own, it must stay inside them.
void DecodeTheNamedPartsAlone(const uint8_t* file, size_t size) {
    BitmapLayout layout;
    if (CheckBitmapFile(file, size, size, &layout) != PictureProblem::kNone ||
        CheckImportLimits(layout.info.width, layout.info.Rows(), 32) != PictureProblem::kNone) {
        return;
    }
    std::vector<uint8_t> compact(file, file + layout.HeadBytes());
    compact.insert(compact.end(), file + layout.pixelOffset, file + layout.pixelOffset + layout.pixelBytes);
    layout.pixelOffset = layout.HeadBytes();
    InkPicture ink;
    if (DecodeBitmapFile(layout, compact.data(), &ink) == PictureProblem::kNone &&
        ink.ink.size() != static_cast<size_t>(ink.width) * ink.height) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte picks the symbol's rows (1-32), the rest is the file.
    if (size < 1) return 0;
    const int rowCount = 1 + data[0] % 32;
    ImportPicture picture;
    if (ReadPicture(data + 1, size - 1, rowCount, &picture) == PictureProblem::kNone) CheckPicture(picture, rowCount);
    DecodeTheNamedPartsAlone(data + 1, size - 1);
    int width = 0;
    CheckClipboardDib(data + 1, size - 1, rowCount, &width);
    return 0;
}
