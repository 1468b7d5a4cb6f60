// Sheets are pictures from any paint program: every PNG or BMP byte string,
// with any cell size, must become 256 glyphs of the cell or be refused.
// The first byte chooses the cell: 0 the picture's size / 16, else up to
// 16 x 16; the rest is the file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "BitmapFontChecks.h"
#include "FontSheet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const int cellWidth = data[0] ? 1 + data[0] % 16 : 0, cellHeight = data[0] ? 1 + data[0] / 16 : 0;
    BitmapFont font;
    std::string error;
    if (ReadSheetPicture(std::vector<uint8_t>(data + 1, data + size), cellWidth, cellHeight, font, error)) {
        CheckBitmapFont(font, kMaxSheetCellWidth);
        if (font.glyphs.size() != 256 || (cellWidth && font.glyphs[0].width != cellWidth)) __builtin_trap();
    } else if (error.empty()) {
        __builtin_trap();
    }
    return 0;
}
