// Speed of Import windows font under Wine, as the user meets it: the
// editor's main window on screen, a new document whose font is 4 bytes high
// (32 rows), and the menu command filling all 256 symbols from DejaVu Sans
// Mono, the chooser answered in code:
//   scripts/wine-run build/win/bench/import_bench.exe
// Prints each of five runs and their median, and the same without the
// progress bar (the model's import alone). Then "Import font file..." of
// DejaVu Sans Mono's file at the same height: the whole menu command (the
// file opened, the dialog with its previews, the import) and the engine's
// import alone.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "EditorShell.h"
#include "FontImageView.h"
#include "FontImport.h"
#include "WinBenchSupport_win.h"

namespace {

constexpr int kRuns = 5;
constexpr int kFontHeight = 4;
constexpr char kFontFile[] = "Z:/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

template <typename Import>
double MedianSeconds(const char* what, Import import) {
    std::vector<double> runs;
    for (int run = 0; run < kRuns; ++run) {
        runs.push_back(SecondsTaken(import));
        PumpMessages();
        std::printf("%s, run %d: %.3f s\n", what, run + 1, runs.back());
    }
    std::sort(runs.begin(), runs.end());
    std::printf("%s: median of %d runs %.3f s\n", what, kRuns, runs[kRuns / 2]);
    return runs[kRuns / 2];
}

}  // namespace

int main() {
    HWND window = StartBenchEditor(kFontHeight);
    if (!window) return 1;
    PumpMessages();

    MedianSeconds("import through the menu, progress bar shown", [window] {
        SendMessageA(window, WM_COMMAND, kCommandImportFont, 0);
    });
    MedianSeconds("import without a progress bar", [] { Document()->ImportWindowsFont(nullptr); });
    std::printf("width of 'M': %d columns\n", Document()->GetSymbol('M')->width);

    AnswerImportFontFile(kFontFile, kFontHeight);
    MedianSeconds("Import font file through the menu, with the dialog's previews", [window] {
        SendMessageA(window, WM_COMMAND, kCommandImportFontFile, 0);
    });
    FontImportResult result;
    const std::unique_ptr<FontReader> file = OpenFontFile(kFontFile, result);
    if (!file) {
        std::printf("%s\n", result.error.c_str());
        return 1;
    }
    FontImportRequest request;
    request.font = 0;
    request.height = kFontHeight;
    MedianSeconds("the font file's import alone", [&] { result = ImportFontFile(*file, request, *Document()); });
    const ImportSummary& summary = result.summary;
    std::printf("%d glyphs imported at %d px, width of 'M': %d columns\n", summary.imported, summary.size,
                Document()->GetSymbol('M')->width);
    DestroyWindow(window);
    PumpMessages();
    return 0;
}
