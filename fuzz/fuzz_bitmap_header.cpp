// The symbol import reads .bmp files and clipboard DIBs from anywhere: every
// byte string must be refused or decoded (every header kind, colour masks,
// alpha, RLE8 and RLE4) without reading or writing out of bounds.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "BitmapHeader.h"

namespace {

void CheckPicture(const ImportPicture& picture, int rowCount) {
    if (picture.columns < 1 || picture.columns > kMaxImportWidth || picture.rows != rowCount ||
        picture.cells.size() != static_cast<size_t>(picture.columns) * rowCount) {
        __builtin_trap();
    }
}

// As the Windows import reads a file: only the headers, the colour table and
// the pixel bytes the layout names, in a buffer of their own, so that a
// decode reaching past them is caught.
void DecodeAsTheWindowsImport(const uint8_t* file, size_t size, int rowCount) {
    BitmapLayout layout;
    if (CheckBitmapFile(file, std::min(size, static_cast<size_t>(kBitmapHeadBytes)), size, &layout) !=
            BitmapProblem::kNone ||
        CheckImportLimits(layout.info, rowCount) != BitmapProblem::kNone) {
        return;
    }
    std::vector<uint8_t> compact(file, file + layout.HeadBytes());
    compact.insert(compact.end(), file + layout.pixelOffset, file + layout.pixelOffset + layout.pixelBytes);
    layout.pixelOffset = layout.HeadBytes();
    ImportPicture picture;
    if (SampleBitmapFile(layout, compact.data(), rowCount, &picture) == BitmapProblem::kNone) {
        CheckPicture(picture, rowCount);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte picks the grid height (1-32 rows), the rest is the file.
    if (size < 1) return 0;
    const int rowCount = 1 + data[0] % 32;
    ImportPicture picture;
    if (ReadBitmapFile(data + 1, size - 1, rowCount, &picture) == BitmapProblem::kNone) CheckPicture(picture, rowCount);
    DecodeAsTheWindowsImport(data + 1, size - 1, rowCount);
    BitmapInfo info;
    if (ReadInfoHeader(data + 1, size - 1, &info) == BitmapProblem::kNone) CheckImportLimits(info, rowCount);
    return 0;
}
