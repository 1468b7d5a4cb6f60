// What the symbol editor asks of the program around it, beside the calls of
// SymbolEditor.h: the document, whose current symbol's code the caption shows
// and without which the grid paints nothing. The shell passes its accessor
// once at start-up: SetSymbolEditorDocumentSource(Document).
#pragma once

class FontImageView;

void SetSymbolEditorDocumentSource(FontImageView* (*document)());
