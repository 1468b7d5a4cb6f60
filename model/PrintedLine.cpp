#include "PrintedLine.h"

#include <algorithm>

#include "Font.h"

int PrintedRows(const Font& font) { return font.GetHeight() == 1 ? font.GetHeightLimit() : 8 * font.GetHeight(); }

PrintedLine PrintLine(const Font& font, const std::vector<int>& codes, int maxWidth) {
    PrintedLine line;
    line.rows = std::clamp(PrintedRows(font), 0, 32);
    long long width = 0;
    for (size_t i = 0; i < codes.size() && width < maxWidth; ++i) {
        width += font.At(codes[i]).width + (i > 0 ? font.GetInterval() : 0);
    }
    line.width = static_cast<int>(std::clamp<long long>(width, 0, maxWidth));
    line.ink.assign(static_cast<size_t>(line.width) * line.rows, 0);
    int left = 0;
    for (const int code : codes) {
        if (left >= line.width) break;
        const Symbol& symbol = font.At(code);
        // Columns within the symbol's 512 bytes and the line.
        const int columns = symbol.height > 0 ? std::min({symbol.width, Symbol::kDataSize / symbol.height,
                                                          line.width - left})
                                              : 0;
        const int rows = std::min(line.rows, 8 * symbol.height);
        for (int column = 0; column < columns; ++column) {
            for (int row = 0; row < rows; ++row) {
                const uint8_t byte = symbol.data[column * symbol.height + row / 8];
                if ((byte & (1u << (row % 8))) == 0) line.ink[static_cast<size_t>(line.rows - 1 - row) * line.width + left + column] = 1;
            }
        }
        left += symbol.width + font.GetInterval();
    }
    return line;
}
