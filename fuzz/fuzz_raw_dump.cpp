// Raw dumps of any size at any offset, imported as glyphmill import --raw
// imports them: the first three bytes choose the glyphs' width and height
// (1-32) and the offset (0-255), the rest is the file.
#include "FontImportChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    FontFileLayout layout;
    layout.rawWidth = 1 + data[0] % 32;
    layout.rawHeight = 1 + data[1] % 32;
    layout.rawOffset = data[2];
    ImportAndCheck(data + 3, size - 3, "input.rom", layout);
    return 0;
}
