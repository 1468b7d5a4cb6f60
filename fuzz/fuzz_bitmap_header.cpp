// The symbol import reads .bmp files and clipboard DIBs from anywhere: every
// byte string must be refused or sampled without reading out of bounds.
#include <cstddef>
#include <cstdint>

#include "BitmapHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte picks the grid height (1-32 rows), the rest is the file.
    if (size < 1) return 0;
    const int rowCount = 1 + data[0] % 32;
    ImportPicture picture;
    if (ReadBitmapFile(data + 1, size - 1, rowCount, &picture) == BitmapProblem::kNone) {
        if (picture.columns < 1 || picture.columns > kMaxImportWidth || picture.rows != rowCount ||
            picture.cells.size() != static_cast<size_t>(picture.columns) * rowCount) {
            __builtin_trap();
        }
    }
    BitmapInfo info;
    if (ReadInfoHeader(data + 1, size - 1, &info) == BitmapProblem::kNone) CheckImportLimits(info, rowCount);
    return 0;
}
