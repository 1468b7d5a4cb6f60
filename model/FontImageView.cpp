#include "FontImageView.h"

#include <algorithm>

FontImageView::~FontImageView() = default;

int FontImageView::GetCurrentFont() const { return currentFont; }

int FontImageView::SetCurrentFont(int index) { return currentFont = std::clamp(index, 0, kMaxFonts - 1); }

int FontImageView::GetCurrentSymbol() const { return currentSymbol; }

int FontImageView::SetCurrentSymbol(int code) { return currentSymbol = std::clamp(code, 0, 255); }

int FontImageView::SetCursorSymbol(int code) { return cursorSymbol = std::clamp(code, 0, 255); }

Symbol* FontImageView::GetSymbol(int code) {
    const int resolved = code < 0 ? currentSymbol : std::min(code, 255);
    return &fonts[currentFont]->At(resolved);
}

void FontImageView::GetCursorCellRect(CellRect* out) const {
    const int row = cursorSymbol / columns;
    const int column = cursorSymbol % columns;
    const int cellWidth = gridWidth / columns;
    const int cellHeight = gridHeight / rows;
    out->left = cellWidth * column;
    out->right = cellWidth * (column + 1);
    out->top = cellHeight * row;
    out->bottom = cellHeight * (row + 1);
}

int FontImageView::SymbolAtPoint(int x, int y) const {
    if (rows == 0) return 0;
    const int cellWidth = gridWidth / columns;
    const int cellHeight = gridHeight / rows;
    // Before the first drawing (or for a table narrower than its cells) the
    // cell size is 0: every point then falls in the first cell.
    if (cellWidth == 0 || cellHeight == 0) return 0;
    return columns * (y / cellHeight) + x / cellWidth;
}

int FontImageView::GetRowCount(int which) const {
    if (which != 1) return rows;
    if (rows * columns >= 255) return rows;
    return 255 / columns + (columns * (255 / columns) < 255 ? 1 : 0);
}

int FontImageView::SetScrollRow(int row) {
    const int limit = GetRowCount(1) - GetRowCount(0);
    return scrollRow = std::max(0, std::min(row, limit));
}

void FontImageView::SetGridSize(int width, int height) {
    gridWidth = width;
    gridHeight = height;
    columns = 16;
    rows = 16;
}
