// A line of text as the printer prints it: the symbols of the codes side by
// side, the font's intersymbol interval of blank columns between them, as
// many rows high as the printer prints of the font.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class Font;

// The rows printed of each column: the height limit for a font 1 byte high,
// all 8 x height rows otherwise.
int PrintedRows(const Font& font);

struct PrintedLine {
    int width = 0;  // dots
    int rows = 0;
    std::vector<uint8_t> ink;  // row by row from the top, 1 ink

    bool IsInk(int x, int y) const { return ink[static_cast<size_t>(y) * width + x] != 0; }
};

// Dots from the left of the first symbol of codes to the right of the last.
long long LineWidth(const Font& font, const std::vector<int>& codes);

// The line of codes, cut after maxWidth dots.
PrintedLine PrintLine(const Font& font, const std::vector<int>& codes, int maxWidth);
