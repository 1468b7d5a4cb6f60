// A look inside the symbol editor for the in-process tests: its working copy,
// layout state and the handles of its windows.
#pragma once

#include <windows.h>

#include "SymbolWorkCopy.h"

class Symbol;

struct SymbolEditorInsight {
    const SymbolWorkCopy* work;
    const Symbol* editedSymbol;
    int gridWidth;
    int gridHeight;
    bool scrollMode;
    int viewOffset;
    int dragMode;
    HWND window, grid, scrollBar;
    HWND okButton, cancelButton, upButton, downButton, rightButton, leftButton;
    HWND addColumnButton, deleteColumnButton;
    HWND byteString, widthField, heightField, limitField;
    HWND undoButton, redoButton;
};

SymbolEditorInsight InspectSymbolEditor();
