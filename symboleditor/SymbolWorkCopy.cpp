#include "SymbolWorkCopy.h"

#include <algorithm>
#include <cstring>

#include "Symbol.h"

SymbolWorkCopy::SymbolWorkCopy() {
    std::memset(workBytes_, Symbol::kBlank, kCapacity);
    BytesToCells();
}

int SymbolWorkCopy::MaxColumns() const { return std::min(kMaxWidth, kCapacity / heightBytes_); }

void SymbolWorkCopy::Load(const Symbol& symbol) {
    heightBytes_ = std::clamp(symbol.height, 1, 4);
    heightLimit_ = std::clamp(symbol.heightLimit, 1, 8);
    rowCount_ = heightBytes_ == 1 ? heightLimit_ : 8 * heightBytes_;
    columnCount_ = std::clamp(symbol.width, 1, MaxColumns());
    std::memset(workBytes_, Symbol::kBlank, kCapacity);
    const int copied = std::min(symbol.width, columnCount_) * heightBytes_;
    if (copied > 0) std::memcpy(workBytes_, symbol.data.get(), copied);
    BytesToCells();
}

void SymbolWorkCopy::CommitTo(Symbol& symbol) const {
    std::memcpy(symbol.data.get(), workBytes_, ByteCount());
    symbol.width = columnCount_;
    symbol.height = heightBytes_;
}

void SymbolWorkCopy::SetCell(int column, int row, int ink) {
    if (column < 0 || column >= columnCount_ || row < 0 || row >= rowCount_) return;
    cells_[CellIndex(column, row)] = ink ? 1 : 0;
    CellsToBytes();
}

bool SymbolWorkCopy::SetColumnCount(int n) {
    n = std::max(n, 1);
    if (n > MaxColumns()) return false;
    if (n > columnCount_) {
        std::memset(workBytes_ + ByteCount(), Symbol::kBlank, (n - columnCount_) * heightBytes_);
    }
    columnCount_ = n;
    BytesToCells();
    return true;
}

bool SymbolWorkCopy::ColumnHasInk(int column) const {
    for (int row = 0; row < rowCount_; ++row) {
        if (Cell(column, row)) return true;
    }
    return false;
}

bool SymbolWorkCopy::RowHasInk(int row) const {
    for (int column = 0; column < columnCount_; ++column) {
        if (Cell(column, row)) return true;
    }
    return false;
}

bool SymbolWorkCopy::Shift(ShiftDirection direction) {
    const int last = columnCount_ - 1;
    const int top = rowCount_ - 1;
    auto cell = [this](int column, int row) -> int& { return cells_[CellIndex(column, row)]; };
    switch (direction) {
        case ShiftDirection::kLeft:
            if (ColumnHasInk(0)) return false;
            for (int c = 1; c <= last; ++c) {
                for (int r = 0; r <= top; ++r) cell(c - 1, r) = cell(c, r);
            }
            for (int r = 0; r <= top; ++r) cell(last, r) = 0;
            break;
        case ShiftDirection::kRight:
            if (ColumnHasInk(last)) return false;
            for (int c = last; c >= 1; --c) {
                for (int r = 0; r <= top; ++r) cell(c, r) = cell(c - 1, r);
            }
            for (int r = 0; r <= top; ++r) cell(0, r) = 0;
            break;
        case ShiftDirection::kUp:
            if (RowHasInk(top)) return false;
            for (int c = 0; c <= last; ++c) {
                for (int r = top; r >= 1; --r) cell(c, r) = cell(c, r - 1);
                cell(c, 0) = 0;
            }
            break;
        case ShiftDirection::kDown:
            if (RowHasInk(0)) return false;
            for (int c = 0; c <= last; ++c) {
                for (int r = 1; r <= top; ++r) cell(c, r - 1) = cell(c, r);
                cell(c, top) = 0;
            }
            break;
    }
    CellsToBytes();
    return true;
}

void SymbolWorkCopy::ApplyImport(const ImportPicture& picture) {
    SetColumnCount(picture.columns);
    const int columns = std::min(picture.columns, columnCount_);
    const int rows = std::min(picture.rows, rowCount_);
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) cells_[CellIndex(c, r)] = picture.IsInk(c, r) ? 1 : 0;
    }
    CellsToBytes();
}

std::string SymbolWorkCopy::ByteString() const {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(3 * ByteCount());
    for (int i = 0; i < ByteCount(); ++i) {
        text += kDigits[workBytes_[i] >> 4];
        text += kDigits[workBytes_[i] & 0x0F];
        text += ' ';
    }
    return text;
}

SymbolWorkCopy::State SymbolWorkCopy::Save() const {
    return State{columnCount_, std::vector<uint8_t>(workBytes_, workBytes_ + ByteCount())};
}

void SymbolWorkCopy::Restore(const State& state) {
    columnCount_ = state.columns;
    std::memcpy(workBytes_, state.bytes.data(), state.bytes.size());
    BytesToCells();
}

// Every one of the 8 x HeightBytes rows, also those above the height limit, so
// that their bits pass through the editor unchanged.
void SymbolWorkCopy::BytesToCells() {
    cells_.assign(static_cast<size_t>(columnCount_) * RowsPerColumn(), 0);
    for (int c = 0; c < columnCount_; ++c) {
        for (int b = 0; b < heightBytes_; ++b) {
            const uint8_t byte = workBytes_[c * heightBytes_ + b];
            for (int k = 0; k < 8; ++k) cells_[CellIndex(c, 8 * b + k)] = (byte >> k) & 1 ? 0 : 1;
        }
    }
}

void SymbolWorkCopy::CellsToBytes() {
    for (int c = 0; c < columnCount_; ++c) {
        for (int b = 0; b < heightBytes_; ++b) {
            unsigned ink = 0;
            for (int k = 0; k < 8; ++k) {
                if (cells_[CellIndex(c, 8 * b + k)]) ink |= 1u << k;
            }
            workBytes_[c * heightBytes_ + b] = static_cast<uint8_t>(~ink);
        }
    }
}

void EditSession::Begin(const SymbolWorkCopy& work) {
    before_ = work.Save();
    open_ = true;
}

void EditSession::End(const SymbolWorkCopy& work) {
    if (!open_) return;
    open_ = false;
    if (work.Save() == before_) return;
    steps_.Push(Step{std::move(before_)});
}

void EditSession::Exchange(SymbolWorkCopy& work, Step& step) {
    SymbolWorkCopy::State current = work.Save();
    work.Restore(step.state);
    step.state = std::move(current);
}

bool EditSession::Undo(SymbolWorkCopy& work) {
    open_ = false;
    return steps_.Undo([&](Step& step) { Exchange(work, step); });
}

bool EditSession::Redo(SymbolWorkCopy& work) {
    open_ = false;
    return steps_.Redo([&](Step& step) { Exchange(work, step); });
}

void EditSession::Clear() {
    steps_.Clear();
    open_ = false;
}
