// The symbol import and glyphmill glyph --from read PNG files and clipboard
// PNGs from anywhere: every byte string must be refused or placed on the
// grid, libpng's errors caught, without reading or writing out of bounds.
// Built with FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION, the reader ignores the
// chunks' CRCs and the zlib checksum, so that mutated pictures reach the
// decoding instead of being refused at their first damaged chunk.
#include <cstddef>
#include <cstdint>

#include "SymbolPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte picks the symbol's rows (1-32), the rest is the file.
    if (size < 1) return 0;
    const int rowCount = 1 + data[0] % 32;
    ImportPicture picture;
    if (ReadPicture(data + 1, size - 1, rowCount, &picture) != PictureProblem::kNone) return 0;
    if (picture.columns < 1 || picture.columns > kMaxImportWidth || picture.rows != rowCount ||
        picture.cells.size() != static_cast<size_t>(picture.columns) * rowCount) {
        __builtin_trap();
    }
    return 0;
}
