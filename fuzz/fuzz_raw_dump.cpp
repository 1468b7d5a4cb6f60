// Raw dumps of any size at any offset: the first three bytes choose the
// glyphs' width and height (1-32) and the offset (0-255), the rest is the file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "BitmapFontChecks.h"
#include "RawDump.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const int width = 1 + data[0] % 32, height = 1 + data[1] % 32;
    BitmapFont font;
    std::string error;
    if (ReadRawDump(std::vector<uint8_t>(data + 3, data + size), width, height, data[2], font, error)) {
        CheckBitmapFont(font);
        if (font.glyphs.size() != kRawDumpGlyphs || font.HasUnicodeTable()) __builtin_trap();
    } else if (error.empty()) {
        __builtin_trap();
    }
    return 0;
}
