// What the symbol editor asks of the program around it, beside the calls of
// SymbolEditor.h: the document, whose current symbol's code the caption shows
// and without which the grid paints nothing. The shell passes its accessor
// once at start-up: SetSymbolEditorDocumentSource(Document). It may also
// hear of each OK's write, before and after, to keep it for undo.
#pragma once

class FontImageView;
class Symbol;

void SetSymbolEditorDocumentSource(FontImageView* (*document)());

void SetSymbolEditorCommitHooks(void (*changing)(const Symbol& symbol), void (*changed)(const Symbol& symbol));
