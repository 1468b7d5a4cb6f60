// Undo and redo over steps that each hold the state to go back to: undoing a
// step puts that state in place and keeps the state it replaced, so the same
// step then redoes. The steps' bytes together stay within a budget; the
// oldest steps go first.
#pragma once

#include <cstddef>
#include <deque>
#include <utility>
#include <vector>

// Step: movable, with size_t Bytes() const.
template <class Step>
class UndoStack {
public:
    explicit UndoStack(size_t budgetBytes) : budget_(budgetBytes) {}

    // A new step: what could be redone is gone.
    void Push(Step step) {
        for (const Step& dropped : redo_) bytes_ -= dropped.Bytes();
        redo_.clear();
        bytes_ += step.Bytes();
        undo_.push_back(std::move(step));
        while (bytes_ > budget_ && !undo_.empty()) {
            bytes_ -= undo_.front().Bytes();
            undo_.pop_front();
        }
    }

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }

    // swap(Step&) exchanges the step's state with the document's; false
    // when there was nothing to undo.
    template <class Swap>
    bool Undo(Swap swap) {
        return Move(undo_, redo_, swap);
    }
    template <class Swap>
    bool Redo(Swap swap) {
        return Move(redo_, undo_, swap);
    }

    void Clear() {
        undo_.clear();
        redo_.clear();
        bytes_ = 0;
    }

    size_t UndoCount() const { return undo_.size(); }
    size_t Bytes() const { return bytes_; }
    // The step the next Undo takes back (CanUndo must hold).
    const Step& Last() const { return undo_.back(); }
    const Step& Next() const { return redo_.back(); }

private:
    template <class From, class To, class Swap>
    bool Move(From& from, To& to, Swap& swap) {
        if (from.empty()) return false;
        Step step = std::move(from.back());
        from.pop_back();
        bytes_ -= step.Bytes();
        swap(step);
        bytes_ += step.Bytes();
        to.push_back(std::move(step));
        return true;
    }

    size_t budget_;
    size_t bytes_ = 0;
    std::deque<Step> undo_;
    std::vector<Step> redo_;
};
