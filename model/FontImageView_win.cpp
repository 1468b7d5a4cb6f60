// Drawing of the symbol table and preview, and the import of an installed
// font: the Win32 part of the document.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "FontImageView.h"
#include "GlyphColumns.h"
#include "Ink.h"
#include "ScopedWin.h"
#include "UiSeam.h"

struct DrawingSurface {
    ScopedMemoryDC dc;
    ScopedBitmap bitmap;
};

void DrawingSurfaceDeleter::operator()(DrawingSurface* surface) const { delete surface; }

namespace {

// Draws one dot as a line one pixel long, as the table and preview do.
void DrawDot(HDC dc, int x, int y) {
    MoveToEx(dc, x, y, nullptr);
    LineTo(dc, x + 1, y);
}

// One cell of the table: the symbol centred in a white source area with a
// black top and left edge, stretched onto the cell.
void DrawCell(HDC target, HDC source, const Symbol& symbol, int cellLeft, int cellTop, int cellWidth,
              int cellHeight) {
    const int width = symbol.width;
    const int height = symbol.height;
    const int sourceWidth = std::max(width + 4, cellWidth - 2);
    const int sourceHeight = std::max(8 * height + 4, cellHeight - 2);

    SelectObject(source, GetStockObject(WHITE_BRUSH));
    Rectangle(source, 0, 0, sourceWidth + 20, sourceHeight + 20);
    SelectObject(source, GetStockObject(BLACK_BRUSH));
    const int left = sourceWidth / 2 - width / 2;
    const int bottom = sourceHeight / 2 + 4 * height;
    const int columns = symbol.DrawableColumns();
    for (int i = 0; i < columns; ++i) {
        for (int j = 0; j < height; ++j) {
            for (int k = 0; k < 8; ++k) {
                if (symbol.IsInk(i, 8 * j + k)) DrawDot(source, i + left, bottom - 8 * j - k);
            }
        }
    }
    StretchBlt(target, cellLeft, cellTop, cellWidth, cellHeight, source, 0, 0, sourceWidth, sourceHeight, SRCCOPY);
}

}  // namespace

int FontImageView::CreateSurface(HDC__* dc, int width, int height) {
    surface.reset();
    auto created = std::unique_ptr<DrawingSurface, DrawingSurfaceDeleter>(new DrawingSurface);
    created->dc.Reset(CreateCompatibleDC(dc));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    created->bitmap.Reset(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    surface = std::move(created);
    return 1;
}

int FontImageView::DrawSymbolTable(HDC__* dc, int width, int height) {
    if (!surface || !surface->bitmap) CreateSurface(dc, width, height);
    SetGridSize(width, height);
    const int cellWidth = width / columns;
    const int cellHeight = height / rows;

    {
        ScopedSelect grayBrush(dc, GetStockObject(GRAY_BRUSH));
        for (int k = 1; k < 16; ++k) {
            MoveToEx(dc, k * cellWidth, 0, nullptr);
            LineTo(dc, k * cellWidth, height);
            MoveToEx(dc, 0, k * cellHeight, nullptr);
            LineTo(dc, width, k * cellHeight);
        }
    }

    HDC source = surface->dc.Get();
    // The bitmap is selected only while drawing, so that it can be deleted
    // with the surface.
    ScopedSelect bitmap(source, surface->bitmap.Get());
    ScopedSelect brush(source, GetStockObject(WHITE_BRUSH));
    const Font& font = *fonts[currentFont];
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const int code = std::min(16 * (scrollRow + r) + c, Font::kSymbolCount - 1);
            DrawCell(dc, source, font.At(code), c * cellWidth, r * cellHeight, cellWidth, cellHeight);
        }
    }
    return 1;
}

void FontImageView::DrawSymbolPreview(HDC__* dc, int left, int top, int right, int bottom, int code) {
    const int shownCode = code == -1 ? currentSymbol : std::clamp(code, 0, Font::kSymbolCount - 1);
    const int width = right - left;
    const int height = bottom - top;

    std::string caption = "# " + std::to_string(shownCode) + " ";
    for (char& ch : caption) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    RECT captionRect{0, 0, width, 20};
    DrawTextA(dc, caption.c_str(), -1, &captionRect, DT_CENTER);

    const Symbol& symbol = *GetSymbol(shownCode);
    const int x0 = width / 2 - symbol.width / 2;
    const int bottomRow = height / 2 + 4 * symbol.height;
    const int columns = symbol.DrawableColumns();
    for (int i = 0; i < columns; ++i) {
        for (int j = 0; j < symbol.height; ++j) {
            for (int k = 0; k < 8; ++k) {
                if (symbol.IsInk(i, 8 * j + k)) DrawDot(dc, x0 + i, bottomRow - 8 * j - k);
            }
        }
    }
}

namespace {

// The sampled corner of the drawing, copied into 32-bit colour once per glyph
// so that each pixel's colour is read from memory: a GetPixel call for each
// of the up to a million pixels of a font was most of the import's time.
class SampleArea {
public:
    explicit SampleArea(int rows)
        : rows_(rows),
          dc_(CreateCompatibleDC(nullptr)),
          bitmap_(CreateTopDownBitmap(dc_.Get(), rows, &pixels_)),
          selected_(dc_.Get(), bitmap_.Get()) {}

    // A monochrome source shows as black and white here: its 0 bits take
    // this context's text colour (black), its 1 bits its background (white).
    void CopyFrom(HDC drawing) {
        BitBlt(dc_.Get(), 0, 0, kImportColumns, rows_, drawing, 0, 0, SRCCOPY);
        GdiFlush();
    }

    // Without a bitmap nothing reads as ink.
    bool IsInk(int x, int y) const {
        if (!pixels_) return false;
        const RGBQUAD& pixel = pixels_[y * kImportColumns + x];
        return IsInkColour(pixel.rgbRed, pixel.rgbGreen, pixel.rgbBlue);
    }

private:
    static HBITMAP CreateTopDownBitmap(HDC dc, int rows, RGBQUAD** pixels) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = kImportColumns;
        info.bmiHeader.biHeight = -rows;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        *pixels = bitmap ? static_cast<RGBQUAD*>(bits) : nullptr;
        return bitmap;
    }

    int rows_;
    RGBQUAD* pixels_ = nullptr;
    ScopedMemoryDC dc_;
    ScopedBitmap bitmap_;
    ScopedSelect selected_;
};

// The top-left 128 x rows pixels of the drawing as ink columns, entry 0 the
// bottom row.
void SampleColumns(HDC drawing, SampleArea& area, int rows, std::vector<std::vector<int>>& columns) {
    area.CopyFrom(drawing);
    for (int x = 0; x < kImportColumns; ++x) {
        for (int y = 0; y < rows; ++y) columns[x][rows - 1 - y] = area.IsInk(x, y) ? 1 : 0;
    }
}

}  // namespace

int FontImageView::ImportWindowsFont(HWND__* progressBar) {
    const int height = GetFontHeight(currentFont);
    const int rows = 8 * height;

    LOGFONTA chosen{};
    CHOOSEFONTA request{};
    request.lStructSize = sizeof request;
    request.lpLogFont = &chosen;
    request.Flags = CF_SCREENFONTS | CF_LIMITSIZE;
    request.nFontType = SCREEN_FONTTYPE;
    request.nSizeMin = 1;
    request.nSizeMax = rows;
    if (!Ui().chooseFont(&request)) return 0;

    ScopedFont font(CreateFontIndirectA(&chosen));
    ScopedMemoryDC dc(CreateCompatibleDC(nullptr));
    ScopedBitmap drawing(CreateCompatibleBitmap(dc.Get(), 10 * kImportColumns, 2 * rows));
    ScopedSelect selectedBitmap(dc.Get(), drawing.Get());
    ScopedSelect selectedFont(dc.Get(), font.Get());
    SetTextColor(dc.Get(), 0);
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));

    ShowWindow(progressBar, SW_SHOW);
    SendMessageA(progressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 256));

    SampleArea sampled(rows);
    GlyphColumns columns(kImportColumns, std::vector<int>(rows));
    Symbol glyph;
    Font& target = *fonts[currentFont];
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        RECT area{0, 0, kImportColumns, rows};
        FillRect(dc.Get(), &area, white);
        const char text[2] = {static_cast<char>(code), 0};
        DrawTextA(dc.Get(), text, 1, &area, 0);
        SampleColumns(dc.Get(), sampled, rows, columns);

        PackImportedGlyph(*this, columns, ImportedWidth(columns), height, target.GetHeightLimit(), glyph);
        target.SetSymbol(code, glyph);
        SendMessageA(progressBar, PBM_SETPOS, code, 0);
    }
    ShowWindow(progressBar, SW_HIDE);
    return 0;
}
