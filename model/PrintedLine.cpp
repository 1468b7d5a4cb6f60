#include "PrintedLine.h"

#include <algorithm>

#include "Font.h"

int PrintedRows(const Font& font) { return font.GetHeight() == 1 ? font.GetHeightLimit() : 8 * font.GetHeight(); }

long long LineWidth(const Font& font, const std::vector<int>& codes) {
    long long width = 0;
    for (size_t i = 0; i < codes.size(); ++i) width += font.At(codes[i]).width + (i > 0 ? font.GetInterval() : 0);
    return width;
}

PrintedLine PrintLine(const Font& font, const std::vector<int>& codes, int maxWidth) {
    PrintedLine line;
    line.rows = std::clamp(PrintedRows(font), 0, 32);
    line.width = static_cast<int>(std::clamp<long long>(LineWidth(font, codes), 0, maxWidth));
    line.ink.assign(static_cast<size_t>(line.width) * line.rows, 0);
    int left = 0;
    for (const int code : codes) {
        if (left >= line.width) break;
        const Symbol& symbol = font.At(code);
        const int columns = std::min(symbol.DrawableColumns(), line.width - left);
        const int rows = std::min(line.rows, 8 * symbol.height);
        for (int column = 0; column < columns; ++column) {
            for (int row = 0; row < rows; ++row) {
                if (!symbol.IsInk(column, row)) continue;
                line.ink[static_cast<size_t>(line.rows - 1 - row) * line.width + left + column] = 1;
            }
        }
        left += symbol.width + font.GetInterval();
    }
    return line;
}
