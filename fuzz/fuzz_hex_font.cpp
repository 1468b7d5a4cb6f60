// Unifont .hex files from anywhere: every byte string, gzip'ed or not, must be
// read into glyphs keyed by code point, or refused naming the line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "BitmapFontChecks.h"
#include "HexFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BitmapFont font;
    std::string error;
    if (ReadHex(std::vector<uint8_t>(data, data + size), font, error)) {
        CheckBitmapFont(font);
        if (font.height != 16 || font.unicode.empty()) __builtin_trap();
    } else if (error.empty()) {
        __builtin_trap();
    }
    return 0;
}
