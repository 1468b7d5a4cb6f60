// Drawing speed and GDI handle use of the symbol table, under Wine:
//   scripts/wine-run build/win/bench/symbol_table_bench.exe
// Prints the median of 100 draws of a full table (256 inked symbols, 2 bytes
// high) and the process's GDI object count after the first and after 1,000
// paints of the table and the preview.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "FontImageView.h"
#include "GdiObjectCount_win.h"
#include "ScopedWin.h"

namespace {

constexpr int kTable = 402;

void InkEverySymbol(FontImageView& document) {
    document.InitNew();
    document.SetFontHeight(0, 2);
    Font& font = document.FontAt(0);
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        Symbol& symbol = font.At(code);
        symbol.width = 12;
        for (int i = 0; i < symbol.width * symbol.height; ++i) symbol.data[i] = static_cast<uint8_t>(code * 7 + i * 13);
    }
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main() {
    FontImageView document;
    InkEverySymbol(document);

    ScopedWindowDC screen(nullptr);
    ScopedMemoryDC target(CreateCompatibleDC(screen.Get()));
    ScopedBitmap canvas(CreateCompatibleBitmap(screen.Get(), kTable, kTable));
    ScopedSelect selected(target.Get(), canvas.Get());

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    document.DrawSymbolTable(target.Get(), kTable, kTable);  // creates the surface
    for (int i = 0; i < 100; ++i) {
        LARGE_INTEGER start;
        LARGE_INTEGER end;
        QueryPerformanceCounter(&start);
        document.DrawSymbolTable(target.Get(), kTable, kTable);
        QueryPerformanceCounter(&end);
        times.push_back(Milliseconds(start, end, frequency));
    }
    std::sort(times.begin(), times.end());
    std::printf("DrawSymbolTable, 256 inked symbols 2 bytes high: median %.2f ms (min %.2f, max %.2f) over 100\n",
                times[50], times.front(), times.back());

    document.DrawSymbolPreview(target.Get(), 0, 0, 40, 60, 65);
    const DWORD afterFirst = GdiObjectCount();
    for (int i = 0; i < 1000; ++i) {
        document.DrawSymbolTable(target.Get(), kTable, kTable);
        document.DrawSymbolPreview(target.Get(), 0, 0, 40, 60, i % 256);
    }
    const DWORD afterMany = GdiObjectCount();
    std::printf("GDI objects after the first paint: %lu, after 1,000 more: %lu\n", afterFirst, afterMany);
    return afterFirst == afterMany ? 0 : 1;
}
