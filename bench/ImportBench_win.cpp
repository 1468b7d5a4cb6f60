// Speed of Import windows font under Wine, as the user meets it: the
// editor's main window on screen, a new document whose font is 4 bytes high
// (32 rows), and the menu command filling all 256 symbols from DejaVu Sans
// Mono, the chooser answered in code:
//   scripts/wine-run build/win64/bench/import_bench.exe
// Prints each of five runs and their median, and the same without the
// progress bar (the model's import alone).
#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "EditorShell.h"
#include "FontImageView.h"
#include "UiSeam.h"

namespace {

constexpr int kRuns = 5;
constexpr int kFontHeight = 4;

BOOL ChooseDejaVuMono(CHOOSEFONTA* request) {
    LOGFONTA& font = *request->lpLogFont;
    font = LOGFONTA{};
    font.lfHeight = 8 * kFontHeight;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = ANSI_CHARSET;
    lstrcpyA(font.lfFaceName, "DejaVu Sans Mono");
    return TRUE;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

template <typename Import>
double MedianSeconds(const char* what, Import import) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> runs;
    for (int run = 0; run < kRuns; ++run) {
        LARGE_INTEGER start;
        LARGE_INTEGER end;
        QueryPerformanceCounter(&start);
        import();
        QueryPerformanceCounter(&end);
        PumpMessages();
        runs.push_back(static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
        std::printf("%s, run %d: %.3f s\n", what, run + 1, runs.back());
    }
    std::sort(runs.begin(), runs.end());
    std::printf("%s: median of %d runs %.3f s\n", what, kRuns, runs[kRuns / 2]);
    return runs[kRuns / 2];
}

}  // namespace

int main() {
    Ui().chooseFont = ChooseDejaVuMono;
    HWND window = StartEditor(GetModuleHandleA(nullptr));
    if (!window) return 1;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    SendMessageA(window, WM_COMMAND, kCommandNew, 0);
    Document()->SetFontHeight(0, kFontHeight);
    PumpMessages();

    MedianSeconds("import through the menu, progress bar shown", [window] {
        SendMessageA(window, WM_COMMAND, kCommandImportFont, 0);
    });
    MedianSeconds("import without a progress bar", [] { Document()->ImportWindowsFont(nullptr); });
    std::printf("width of 'M': %d columns\n", Document()->GetSymbol('M')->width);
    DestroyWindow(window);
    PumpMessages();
    return 0;
}
