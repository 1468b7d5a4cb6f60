// Sheets are pictures from any paint program: every PNG or BMP byte string,
// with any cell size, is imported as glyphmill import imports a sheet, or
// refused with a reason. The first byte chooses the cell: 0 the picture's
// size / 16, else up to 16 x 16; the rest is the file.
#include "FontImportChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    FontFileLayout layout;
    layout.cellWidth = data[0] ? 1 + data[0] % 16 : 0;
    layout.cellHeight = data[0] ? 1 + data[0] / 16 : 0;
    ImportAndCheck(data + 1, size - 1, "input.png", layout);
    return 0;
}
