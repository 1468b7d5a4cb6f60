// Console fonts come from anywhere: every byte string, gzip'ed or not, must be
// read whole into glyphs that hold their rows, or refused with a reason.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "BitmapFontChecks.h"
#include "PsfFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BitmapFont font;
    std::string error;
    if (ReadPsf(std::vector<uint8_t>(data, data + size), font, error)) CheckBitmapFont(font);
    else if (error.empty()) __builtin_trap();
    return 0;
}
