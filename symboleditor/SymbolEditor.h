// The symbol editor window: one symbol of the document edited on a grid of
// cells, written back on OK. Created hidden with the main window; its key
// commands arrive as WM_COMMAND through the main loop's accelerator table.
#pragma once

#include <windows.h>

#include "GlyverIds.h"

class Symbol;

// Registers the window classes and creates the editor window, owned by owner,
// at the given screen rectangle; hidden. Null on failure.
HWND CreateSymbolEditor(HWND owner, const RECT& screenRect);

// Takes symbol into the editor (replacing any uncommitted edits) and has the
// window repainted; neither shows nor hides it. Returns 1.
int LoadSymbolIntoEditor(Symbol* symbol);

// Forgets the edited symbol and hides the window: called before the symbol's
// document or font goes away, so that OK can never write through a stale
// reference.
void DetachSymbolEditor();

// The symbol OK would write into; null when there is none.
const Symbol* SymbolInEditor();
