// Undo and redo of the document: the Edit menu's "Undo" and "Redo", their
// keys, and the steps the handlers of the other commands keep.
#include <utility>

#include "EditorShell.h"
#include "FontImageView.h"
#include "SymbolEditor.h"
#include "SymbolEditorHost.h"

namespace {

struct UndoState {
    UndoHistory history;
    // The symbol editor's OK, between its two hooks.
    UndoHistory::Pending symbolCommit;
};

UndoState Undo;

// The list place and code of a symbol of the document; false when it is in
// no font of the list.
bool Locate(const FontImageView& document, const Symbol* symbol, int* font, int* code) {
    for (int f = 0; f < document.GetFontCount(); ++f) {
        const Symbol* first = &document.FontAt(f).At(0);
        if (symbol >= first && symbol < first + Font::kSymbolCount) {
            *font = f;
            *code = static_cast<int>(symbol - first);
            return true;
        }
    }
    return false;
}

bool MovesFonts(const UndoStep& step) {
    for (const UndoStep::Part& part : step.parts) {
        if (part.what.kind == ChangePart::kFontAdded || part.what.kind == ChangePart::kFontRemoved) return true;
    }
    return false;
}

bool ChangesOnlySymbols(const UndoStep& step) {
    for (const UndoStep::Part& part : step.parts) {
        if (part.what.kind != ChangePart::kSymbol) return false;
    }
    return true;
}

// The symbol editor lets go of a symbol the step changes or moves: its
// working copy no longer shows that symbol. True when the font list and
// fields must be shown again.
bool PrepareFor(const FontImageView& document, const UndoStep& step, const DocumentPlace& place) {
    int font = 0;
    int code = 0;
    const Symbol* edited = SymbolInEditor();
    if (edited && Locate(document, edited, &font, &code) && step.Touches(font, code)) DetachSymbolEditor();
    if (MovesFonts(step)) ForgetPendingCut();
    return !ChangesOnlySymbols(step) || place.font != document.GetCurrentFont();
}

// Shows the font and symbol where the undone or redone change was made; the
// font list and fields only when they may show something else.
void ShowPlace(FontImageView& document, const DocumentPlace& place, bool panelChanged) {
    if (panelChanged) SelectFont(place.font);
    document.SetCurrentSymbol(place.symbol);
    document.SetCursorSymbol(place.symbol);
    if (panelChanged) {
        FillFontList();
        ShowFontFields();
    }
    InvalidateSymbolViews(TRUE);
    RefreshUndoMenu();
    RefreshTextPreview();
}

void SymbolChanging(const Symbol& symbol) {
    const FontImageView* document = Document();
    int font = 0;
    int code = 0;
    Undo.symbolCommit = {};
    if (document && Locate(*document, &symbol, &font, &code)) {
        Undo.symbolCommit = BeginChange({ChangePart::Symbol(font, code)});
    }
}

void SymbolChanged(const Symbol&) { EndChange(std::move(Undo.symbolCommit)); }

// Undoes (back) or redoes the next step and shows where it was made.
void TakeStep(bool back) {
    FontImageView* document = Document();
    if (!document || !(back ? Undo.history.CanUndo() : Undo.history.CanRedo())) return;
    const UndoStep& step = back ? Undo.history.NextUndo() : Undo.history.NextRedo();
    if (!step.FitsInto(*document)) {
        ShowError(back ? "The font list already holds 16 fonts: this step cannot be undone."
                       : "The font list already holds 16 fonts: this step cannot be redone.");
        return;
    }
    const bool panelChanged = PrepareFor(*document, step, back ? step.before : step.after);
    DocumentPlace place;
    if (back) {
        Undo.history.Undo(*document, &place);
    } else {
        Undo.history.Redo(*document, &place);
    }
    ShowPlace(*document, place, panelChanged);
}

}  // namespace

UndoHistory::Pending BeginChange(const std::vector<ChangePart>& parts) {
    const FontImageView* document = Document();
    if (!document) return {};
    return Undo.history.Begin(*document, parts);
}

void EndChange(UndoHistory::Pending pending) {
    if (const FontImageView* document = Document()) Undo.history.Commit(*document, std::move(pending));
    RefreshUndoMenu();
    RefreshTextPreview();
}

void OnUndo() { TakeStep(true); }

void OnRedo() { TakeStep(false); }

void ForgetHistory() {
    Undo.history.Clear();
    Undo.symbolCommit = {};
    RefreshUndoMenu();
}

void RefreshUndoMenu() {
    SetMenuCommandEnabled(kCommandUndo, Undo.history.CanUndo());
    SetMenuCommandEnabled(kCommandRedo, Undo.history.CanRedo());
}

void ConnectSymbolEditorToHistory() { SetSymbolEditorCommitHooks(SymbolChanging, SymbolChanged); }
