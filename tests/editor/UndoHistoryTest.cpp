// The undo history over the document model: every kind of change undone and
// redone exactly, with the place of the change, and the history's bounds.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "FontImageView.h"
#include "UndoHistory.h"

namespace {

// Everything the document holds that a file or the user sees.
std::string Content(const FontImage& image) {
    std::string out = std::to_string(image.count) + ";";
    for (int f = 0; f < image.count; ++f) {
        const Font& font = image.FontAt(f);
        out += std::string(font.name, 8) + std::to_string(font.checksum) + "," + std::to_string(font.height) + "," +
               std::to_string(font.interval) + "," + std::to_string(font.heightLimit) + ":";
        for (int code = 0; code < 256; ++code) {
            const Symbol& symbol = font.At(code);
            out += std::to_string(symbol.width) + "x" + std::to_string(symbol.height) + "/" +
                   std::to_string(symbol.heightLimit) + "=";
            out.append(reinterpret_cast<const char*>(symbol.data.get()), Symbol::kDataSize);
        }
    }
    return out;
}

void Ink(Symbol& symbol, int width, uint8_t pattern) {
    symbol.width = width;
    for (int i = 0; i < width * symbol.height; ++i) symbol.data[i] = pattern;
}

// Three fonts of different heights, names and symbols.
void MakeDocument(FontImageView& document) {
    ASSERT_EQ(document.InitNew(), 1);
    for (int f = 0; f < 3; ++f) {
        if (f > 0) document.AddFont();
        document.SetFontName(f, ("Font" + std::to_string(f)).c_str());
        document.SetFontHeight(f, f + 1);
        for (int code = 'A'; code <= 'Z'; ++code) Ink(document.FontAt(f).At(code), 2 + code % 5, 0x55 + f);
    }
    document.SetCurrentFont(1);
    document.SetCurrentSymbol('C');
}

struct ChangeCase {
    const char* name;
    std::vector<ChangePart> parts;
    std::function<void(FontImageView&)> change;
};

void PrintTo(const ChangeCase& c, std::ostream* out) { *out << c.name; }

const ChangeCase kChanges[] = {
    {"SymbolEdited", {ChangePart::Symbol(1, 'C')},
     [](FontImageView& d) { Ink(d.FontAt(1).At('C'), 9, 0x0F); }},
    {"CutSymbolPasted", {ChangePart::Symbol(2, 'q'), ChangePart::Symbol(0, 'A')},
     [](FontImageView& d) {
         d.CopySymbol(0, 'A');
         d.SetCurrentFont(2);
         d.SetCurrentSymbol('q');
         d.PasteSymbol(2, 'q');
         d.ClearSymbol(0, 'A', 0);
     }},
    {"SymbolDeleted", {ChangePart::Symbol(1, 'C')}, [](FontImageView& d) { d.ClearSymbol(1, 'C', 0); }},
    {"FontAdded", {ChangePart::FontAdded()},
     [](FontImageView& d) {
         d.AddFont();
         d.SetCurrentFont(3);
     }},
    {"FontDeleted", {ChangePart::FontRemoved(1)}, [](FontImageView& d) { d.RemoveFont(1); }},
    {"FontRenamed", {ChangePart::FontFields(1)}, [](FontImageView& d) { d.SetFontName(1, "Renamed"); }},
    {"HeightRaised", {ChangePart::WholeFont(1)}, [](FontImageView& d) { d.SetFontHeight(1, 4); }},
    {"HeightLowered", {ChangePart::WholeFont(2)}, [](FontImageView& d) { d.SetFontHeight(2, 1); }},
    {"IntervalSet", {ChangePart::FontFields(0)}, [](FontImageView& d) { d.SetInterval(0, 9); }},
    {"HeightLimitSet", {ChangePart::WholeFont(0)}, [](FontImageView& d) { d.SetHeightLimit(0, 5); }},
    {"FontImported", {ChangePart::WholeFont(1)},
     [](FontImageView& d) {
         for (int code = 0; code < 256; ++code) Ink(d.FontAt(1).At(code), 1 + code % 40, static_cast<uint8_t>(code));
     }},
};

class EveryChange : public testing::TestWithParam<ChangeCase> {};

TEST_P(EveryChange, UndoAndRedoRestoreTheDocumentAndThePlace) {
    FontImageView document;
    MakeDocument(document);
    UndoHistory history;
    const std::string before = Content(document);
    const ChangeCase& c = GetParam();

    UndoHistory::Pending pending = history.Begin(document, c.parts);
    c.change(document);
    ASSERT_TRUE(history.Commit(document, std::move(pending)));
    const std::string after = Content(document);
    ASSERT_NE(after, before);
    const DocumentPlace changedAt{document.GetCurrentFont(), document.GetCurrentSymbol()};

    for (int round = 0; round < 2; ++round) {
        DocumentPlace place;
        ASSERT_TRUE(history.Undo(document, &place));
        EXPECT_EQ(Content(document), before);
        EXPECT_EQ(place.font, 1);
        EXPECT_EQ(place.symbol, 'C');
        EXPECT_FALSE(history.CanUndo());
        ASSERT_TRUE(history.Redo(document, &place));
        EXPECT_EQ(Content(document), after);
        EXPECT_EQ(place.font, changedAt.font);
        EXPECT_EQ(place.symbol, changedAt.symbol);
        EXPECT_FALSE(history.CanRedo());
    }
}

INSTANTIATE_TEST_SUITE_P(Changes, EveryChange, testing::ValuesIn(kChanges),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(UndoHistory, KeepsNoStepForAChangeThatChangedNothing) {
    FontImageView document;
    MakeDocument(document);
    UndoHistory history;
    EXPECT_FALSE(history.Commit(document, history.Begin(document, {ChangePart::Symbol(0, 'A')})));
    // The only font of a list is never removed, nor a sixteenth added.
    FontImageView single;
    single.InitNew();
    UndoHistory::Pending removal = history.Begin(single, {ChangePart::FontRemoved(0)});
    single.RemoveFont(0);
    EXPECT_FALSE(history.Commit(single, std::move(removal)));
    EXPECT_FALSE(history.CanUndo());
}

// A deleted font's pool place is taken by the next added font; undoing both
// brings the deleted font back whole, in its place.
TEST(UndoHistory, StepsUndoInTurnAcrossTheFontList) {
    FontImageView document;
    MakeDocument(document);
    UndoHistory history;
    std::vector<std::string> states{Content(document)};
    auto record = [&](ChangePart part, const std::function<void()>& change) {
        UndoHistory::Pending pending = history.Begin(document, {part});
        change();
        ASSERT_TRUE(history.Commit(document, std::move(pending)));
        states.push_back(Content(document));
    };
    record(ChangePart::FontRemoved(0), [&] { document.RemoveFont(0); });
    record(ChangePart::FontAdded(), [&] { document.AddFont(); });
    record(ChangePart::Symbol(2, 'x'), [&] { Ink(document.FontAt(2).At('x'), 5, 0x00); });
    record(ChangePart::FontRemoved(1), [&] { document.RemoveFont(1); });

    DocumentPlace place;
    for (size_t i = states.size() - 1; i > 0; --i) {
        ASSERT_TRUE(history.Undo(document, &place));
        EXPECT_EQ(Content(document), states[i - 1]) << "undo to state " << i - 1;
    }
    for (size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(history.Redo(document, &place));
        EXPECT_EQ(Content(document), states[i]) << "redo to state " << i;
    }
    // A new change after undoing drops what could be redone.
    history.Undo(document, &place);
    record(ChangePart::FontFields(0), [&] { document.SetInterval(0, 3); });
    EXPECT_FALSE(history.CanRedo());
}

// A removal undone into a list that has meanwhile filled up would need a
// seventeenth font: it is refused and nothing is overwritten.
TEST(UndoHistory, AFontIsNotPutBackIntoAFullList) {
    FontImageView document;
    MakeDocument(document);
    while (InsertFont(document, document.GetFontCount())) {
    }
    UndoHistory history;
    UndoHistory::Pending pending = history.Begin(document, {ChangePart::FontRemoved(1)});
    document.RemoveFont(1);
    ASSERT_TRUE(history.Commit(document, std::move(pending)));
    ASSERT_NE(InsertFont(document, 0), nullptr);  // unrecorded: the list is full again
    document.SetFontName(0, "Newest");
    const std::string full = Content(document);
    DocumentPlace place;
    EXPECT_FALSE(history.NextUndo().FitsInto(document));
    EXPECT_FALSE(history.Undo(document, &place));
    EXPECT_EQ(Content(document), full);
    EXPECT_TRUE(history.CanUndo());
    document.RemoveFont(0);
    EXPECT_TRUE(history.Undo(document, &place));
    EXPECT_EQ(document.GetFontCount(), FontImage::kMaxFonts);
}

TEST(UndoHistory, ThousandsOfSymbolEditsFitAndTheBudgetDropsTheOldest) {
    FontImageView document;
    MakeDocument(document);
    UndoHistory history;
    for (int step = 0; step < 1000; ++step) {
        UndoHistory::Pending pending = history.Begin(document, {ChangePart::Symbol(1, 'A' + step % 26)});
        document.FontAt(1).At('A' + step % 26).data[step % 8] ^= 0x81;
        ASSERT_TRUE(history.Commit(document, std::move(pending)));
    }
    EXPECT_EQ(history.StepCount(), 1000u);
    EXPECT_LT(history.Bytes(), 2u << 20);

    // Whole fonts of the widest symbols: the budget, not the count, decides.
    UndoHistory bounded(4u << 20);
    for (int step = 0; step < 60; ++step) {
        UndoHistory::Pending pending = bounded.Begin(document, {ChangePart::WholeFont(0)});
        for (int code = 0; code < 256; ++code) Ink(document.FontAt(0).At(code), 512, static_cast<uint8_t>(step));
        ASSERT_TRUE(bounded.Commit(document, std::move(pending)));
        EXPECT_LE(bounded.Bytes(), 4u << 20);
    }
    EXPECT_GT(bounded.StepCount(), 10u);
    EXPECT_LT(bounded.StepCount(), 60u);
}

}  // namespace
