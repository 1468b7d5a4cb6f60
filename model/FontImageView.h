// The editor's document: the font image plus the current font, the current
// and framed symbols and the geometry of the symbol table. The drawing and
// the import of an installed font are Win32 code (FontImageView_win.cpp).
#pragma once

#include <memory>

#include "FontImage.h"

#ifdef _WIN32
struct HDC__;
struct HWND__;
// Memory device context with the DIB section the symbol table is drawn on.
struct DrawingSurface;
struct DrawingSurfaceDeleter {
    void operator()(DrawingSurface* surface) const;
};
#endif

struct CellRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

class FontImageView : public FontImage {
public:
    int cursorSymbol = 0;
    int currentSymbol = 0;
    int gridHeight = 1;
    int gridWidth = 1;
    int scrollRow = 0;
    int columns = 1;
    int rows = 1;
    int currentFont = 0;
#ifdef _WIN32
    std::unique_ptr<DrawingSurface, DrawingSurfaceDeleter> surface;
#endif

    FontImageView() = default;
    ~FontImageView() override;

#ifdef _WIN32
    // Fills every symbol of the current font from a font the user picks;
    // progressBar is shown while it runs. Always 0.
    virtual int ImportWindowsFont(HWND__* progressBar);
#endif
    virtual void GetCursorCellRect(CellRect* out) const;
    // Symbol of the current font; a negative code means the current symbol.
    virtual Symbol* GetSymbol(int code);
    virtual int SetCursorSymbol(int code);
    virtual int SymbolAtPoint(int x, int y) const;
    virtual int GetCurrentSymbol() const;
    virtual int SetCurrentSymbol(int code);
#ifdef _WIN32
    virtual void DrawSymbolPreview(HDC__* dc, int left, int top, int right, int bottom, int code);
#endif
    virtual int SetScrollRow(int row);
    virtual int GetRowCount(int which) const;
    virtual int GetCurrentFont() const;
    virtual int SetCurrentFont(int index);
#ifdef _WIN32
    virtual int CreateSurface(HDC__* dc, int width, int height);
    virtual int DrawSymbolTable(HDC__* dc, int width, int height);
#endif

    // Sets the table geometry as a drawing of width x height does.
    void SetGridSize(int width, int height);
};
