#include "BitmapFont.h"

#include <algorithm>

#include "Font.h"

BitmapGlyph GlyphOfSymbol(const Symbol& symbol, int width) {
    const int rows = 8 * symbol.height;
    BitmapGlyph glyph = BitmapGlyph::Blank(width, rows);
    const int columns = std::min(width, symbol.DrawableColumns());
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < columns; ++x) {
            if (symbol.IsInk(x, rows - 1 - y)) glyph.SetInk(x, y);
        }
    }
    return glyph;
}

int WidestSymbol(const Font& font) {
    int widest = 1;
    for (int code = 0; code < Font::kSymbolCount; ++code) widest = std::max(widest, font.At(code).DrawableColumns());
    return widest;
}
