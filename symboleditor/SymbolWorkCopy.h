// The symbol editor's working copy of one symbol: its bytes in the symbol's
// own layout and the same image unpacked into cells, with the edits the
// editor offers (cells, width, shifts, an imported picture). The window code
// shows it; nothing here knows of windows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "SymbolPicture.h"
#include "UndoStack.h"

class Symbol;

enum class ShiftDirection { kLeft, kRight, kUp, kDown };

class SymbolWorkCopy {
public:
    static constexpr int kCapacity = 512;  // bytes of a symbol's data
    static constexpr int kMaxWidth = 255;  // what a symbol record's width byte holds

    SymbolWorkCopy();

    // Takes width, height, height limit and bytes of symbol. A width of 0 is
    // taken as one blank column; a width too large for the 512 bytes is cut.
    void Load(const Symbol& symbol);
    // Writes the bytes, the width and the height back into symbol; its
    // height limit and the bytes beyond the width stay as they were.
    void CommitTo(Symbol& symbol) const;

    int ColumnCount() const { return columnCount_; }
    int HeightBytes() const { return heightBytes_; }
    // Pixel rows shown and edited.
    int RowCount() const { return rowCount_; }
    int HeightLimit() const { return heightLimit_; }
    // The widest this symbol may become: width x height within 512 bytes.
    int MaxColumns() const;
    const uint8_t* WorkBytes() const { return workBytes_; }
    int ByteCount() const { return columnCount_ * heightBytes_; }

    // 1 ink, 0 background; row counted from the bottom, any of the 8 x
    // HeightBytes rows.
    int Cell(int column, int row) const { return cells_[CellIndex(column, row)]; }
    // Sets a shown cell (row below RowCount); others are left alone.
    void SetCell(int column, int row, int ink);

    // New width n (at least 1): new columns come blank at the right, surplus
    // ones are dropped. Beyond MaxColumns nothing changes and false is returned.
    bool SetColumnCount(int n);
    // Moves the shown rows by one cell; refused (false, nothing changed) when
    // ink would leave the symbol.
    bool Shift(ShiftDirection direction);
    // Replaces the image from the top-left corner by picture: the width
    // becomes the picture's, its rows land on the top rows.
    void ApplyImport(const ImportPicture& picture);

    // Each byte as two lowercase hex digits and a blank.
    std::string ByteString() const;

    // The width and the bytes within it: all an edit changes.
    struct State {
        int columns = 1;
        std::vector<uint8_t> bytes;
        size_t Bytes() const { return sizeof *this + bytes.capacity(); }
        bool operator==(const State& other) const { return columns == other.columns && bytes == other.bytes; }
    };
    State Save() const;
    void Restore(const State& state);

private:
    int RowsPerColumn() const { return 8 * heightBytes_; }
    size_t CellIndex(int column, int row) const { return static_cast<size_t>(column) * RowsPerColumn() + row; }
    void BytesToCells();
    void CellsToBytes();
    bool ColumnHasInk(int column) const;
    bool RowHasInk(int row) const;

    uint8_t workBytes_[kCapacity];
    std::vector<int> cells_;
    int columnCount_ = 1;
    int heightBytes_ = 1;
    int rowCount_ = 8;
    int heightLimit_ = 8;
};

// Undo and redo of the edits of one editing session: each edit is made
// between Begin and End, and kept when it changed the image or the width.
class EditSession {
public:
    void Begin(const SymbolWorkCopy& work);
    void End(const SymbolWorkCopy& work);
    bool Undo(SymbolWorkCopy& work);
    bool Redo(SymbolWorkCopy& work);
    bool CanUndo() const { return steps_.CanUndo(); }
    bool CanRedo() const { return steps_.CanRedo(); }
    // A new session (a symbol loaded).
    void Clear();

private:
    struct Step {
        SymbolWorkCopy::State state;
        size_t Bytes() const { return state.Bytes(); }
    };
    // Thousands of edits of the largest symbol.
    static constexpr size_t kBudgetBytes = 4u << 20;
    static void Exchange(SymbolWorkCopy& work, Step& step);

    UndoStack<Step> steps_{kBudgetBytes};
    SymbolWorkCopy::State before_;
    bool open_ = false;
};
