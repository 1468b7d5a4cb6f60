// Drawing of the symbol table and preview, and the import of an installed
// font: the Win32 part of the document.
#include <windows.h>

#include "FontImageView.h"
#include "ScopedWin.h"

struct DrawingSurface {
    ScopedMemoryDC dc;
    ScopedBitmap bitmap;
};

void DrawingSurfaceDeleter::operator()(DrawingSurface* surface) const { delete surface; }
