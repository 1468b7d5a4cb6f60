// Undo and redraw, and the text preview's redraw, under Wine as the user
// meets them: the editor on screen with a font imported from DejaVu Sans
// Mono, 2 bytes high:
//   scripts/wine-run build/win/bench/editor_undo_bench.exe
// Prints the median and the slowest of 200 runs of each: an undo of a symbol
// change with the table and the preview box drawn again, and the preview
// window drawing a 40-character line at both scales.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "EditorShell.h"
#include "FontImageView.h"
#include "WinBenchSupport_win.h"

namespace {

constexpr int kRuns = 200;
constexpr int kFontHeight = 2;

template <typename Action>
void Report(const char* what, Action action) {
    std::vector<double> runs;
    for (int run = 0; run < kRuns; ++run) runs.push_back(1000.0 * SecondsTaken([&] { action(run); }));
    std::sort(runs.begin(), runs.end());
    std::printf("%s: median %.2f ms, slowest %.2f ms of %d runs\n", what, runs[kRuns / 2], runs.back(), kRuns);
}

void RedrawNow(HWND window) { RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN); }

}  // namespace

int main() {
    HWND window = StartBenchEditor(kFontHeight);
    if (!window) return 1;
    SendMessageA(window, WM_COMMAND, kCommandImportFont, 0);
    // Symbol 'A' chosen in the table, so that the preview box shows it too.
    SendMessageA(SymbolTableWindow(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(25 + 12, 100 + 12));
    PumpMessages();

    UndoHistory::Pending change = BeginChange({ChangePart::Symbol(0, 'A')});
    Document()->GetSymbol('A')->data[0] ^= 0xFF;
    EndChange(std::move(change));
    Report("symbol table and box drawn alone", [](int) { RedrawNow(SymbolTableWindow()); });
    Report("undo or redo of a symbol change alone", [window](int run) {
        SendMessageA(window, WM_COMMAND, run % 2 == 0 ? kCommandUndo : kCommandRedo, 0);
    });
    PumpMessages();
    Report("undo or redo of a symbol change, table and box drawn", [window](int run) {
        SendMessageA(window, WM_COMMAND, run % 2 == 0 ? kCommandUndo : kCommandRedo, 0);
        RedrawNow(SymbolTableWindow());
    });

    SendMessageA(window, WM_COMMAND, kCommandPreview, 0);
    SetWindowTextA(TextPreviewField(), "The quick brown fox jumps over 0123456789");
    PumpMessages();
    Report("text preview of 40 characters drawn", [](int) { RedrawNow(TextPreviewWindow()); });
    DestroyWindow(window);
    PumpMessages();
    return 0;
}
