// The editor's undo and redo: each change to the document keeps the parts
// it touched (symbols, a font's fields, a whole font, a font entering or
// leaving the list) as they were, by their place in the font list, so that
// the steps stay good across the re-read that follows every save.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "UndoStack.h"

class FontImage;
class FontImageView;

// What a change touches.
struct ChangePart {
    enum Kind : uint8_t {
        kSymbol,      // one symbol of a font
        kFontFields,  // a font's name, interval, height and limit, not its symbols
        kWholeFont,   // the fields and every symbol
        kFontAdded,   // a font appended at the end of the list
        kFontRemoved, // the font at the index leaves the list
    };
    Kind kind;
    int font;      // list position
    int code = 0;  // kSymbol only

    static ChangePart Symbol(int font, int code) { return {kSymbol, font, code}; }
    static ChangePart FontFields(int font) { return {kFontFields, font}; }
    static ChangePart WholeFont(int font) { return {kWholeFont, font}; }
    static ChangePart FontAdded() { return {kFontAdded, -1}; }
    static ChangePart FontRemoved(int font) { return {kFontRemoved, font}; }
};

// Where the user was: the current font and symbol.
struct DocumentPlace {
    int font = 0;
    int symbol = 0;
};

// One undo step: the parts with the state that undoing (or, once undone,
// redoing) puts back.
struct UndoStep {
    struct Part {
        ChangePart what;
        bool present;                // presence parts: whether the font is in the list now
        std::vector<uint8_t> state;  // the other state of the part
    };
    std::vector<Part> parts;
    DocumentPlace before, after;

    size_t Bytes() const;
    // Whether the fonts that undoing or redoing it puts back fit into the
    // font list of image (16 at most).
    bool FitsInto(const FontImage& image) const;
    // Whether undoing or redoing it changes symbol code of list font font
    // (or moves that font in the list).
    bool Touches(int font, int code) const;
};

class UndoHistory {
public:
    // At least 1,000 steps of symbol edits fit many times over.
    static constexpr size_t kBudgetBytes = 32u << 20;

    explicit UndoHistory(size_t budgetBytes = kBudgetBytes) : steps_(budgetBytes) {}

    // A change about to be made: its parts as they are now.
    class Pending {
    public:
        Pending() = default;

    private:
        friend class UndoHistory;
        UndoStep step_;
        int fontCount_ = 0;
        bool open_ = false;
    };

    Pending Begin(const FontImageView& document, const std::vector<ChangePart>& parts) const;
    // Keeps the change made since Begin as a step; nothing when it changed
    // nothing. True when a step was kept.
    bool Commit(const FontImageView& document, Pending pending);

    bool CanUndo() const { return steps_.CanUndo(); }
    bool CanRedo() const { return steps_.CanRedo(); }
    // Puts the document back as before the last step (after it for Redo);
    // false, and nothing changed, when there is none or it does not fit
    // (FitsInto). place receives where the change was made.
    bool Undo(FontImageView& document, DocumentPlace* place);
    bool Redo(FontImageView& document, DocumentPlace* place);
    // The step Undo (Redo) would take; CanUndo (CanRedo) must hold.
    const UndoStep& NextUndo() const { return steps_.Last(); }
    const UndoStep& NextRedo() const { return steps_.Next(); }

    void Clear() { steps_.Clear(); }
    size_t StepCount() const { return steps_.UndoCount(); }
    size_t Bytes() const { return steps_.Bytes(); }

private:
    UndoStack<UndoStep> steps_;
};
