// The two ways of taking a picture into the symbol editor: a .bmp or .png file
// picked in the open dialog and the picture on the clipboard, its PNG when it
// holds one, otherwise its bitmap. Each fills picture with
// rowCount rows (the grid's) and returns 1, or returns 0 and leaves picture
// alone; limits and damaged files are reported in an "Error" box owned by
// owner.
#pragma once

#include <windows.h>

#include "SymbolPicture.h"

int ImportFromBitmapFile(HWND owner, int rowCount, ImportPicture* picture);
int ImportFromClipboard(HWND owner, int rowCount, ImportPicture* picture);
