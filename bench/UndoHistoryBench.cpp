// The document's undo history: the memory of 1,000 symbol edits and the time
// of an undo and redo of one, of a whole font, natively:
//   build/host/bench/undo_history_bench
#include <benchmark/benchmark.h>

#include "FontImageView.h"
#include "UndoHistory.h"

namespace {

// A font 2 bytes high whose symbols are 10 columns wide, as an imported one.
void MakeDocument(FontImageView& document) {
    document.InitNew();
    document.SetFontHeight(0, 2);
    for (int code = 0; code < 256; ++code) {
        Symbol& symbol = document.FontAt(0).At(code);
        symbol.width = 10;
        for (int i = 0; i < 20; ++i) symbol.data[i] = static_cast<uint8_t>(code + i);
    }
}

void BM_ThousandSymbolEdits(benchmark::State& state) {
    FontImageView document;
    MakeDocument(document);
    for (auto _ : state) {
        UndoHistory history;
        for (int step = 0; step < 1000; ++step) {
            const int code = step % 256;
            UndoHistory::Pending pending = history.Begin(document, {ChangePart::Symbol(0, code)});
            document.FontAt(0).At(code).data[step % 20] ^= 0x18;
            history.Commit(document, std::move(pending));
        }
        state.counters["history_bytes"] = static_cast<double>(history.Bytes());
    }
}
BENCHMARK(BM_ThousandSymbolEdits)->Unit(benchmark::kMillisecond);

void BM_UndoRedo(benchmark::State& state) {
    FontImageView document;
    MakeDocument(document);
    UndoHistory history;
    const ChangePart part = state.range(0) ? ChangePart::WholeFont(0) : ChangePart::Symbol(0, 'A');
    UndoHistory::Pending pending = history.Begin(document, {part});
    document.FontAt(0).At('A').data[0] ^= 0xFF;
    history.Commit(document, std::move(pending));
    DocumentPlace place;
    for (auto _ : state) {
        history.Undo(document, &place);
        history.Redo(document, &place);
    }
}
BENCHMARK(BM_UndoRedo)->Arg(0)->Arg(1)->ArgNames({"whole_font"});

}  // namespace

BENCHMARK_MAIN();
