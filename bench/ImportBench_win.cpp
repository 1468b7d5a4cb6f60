// Speed of Import windows font under Wine, as the user meets it: the
// editor's main window on screen, a new document whose font is 4 bytes high
// (32 rows), and the menu command filling all 256 symbols from DejaVu Sans
// Mono, the chooser answered in code:
//   scripts/wine-run build/win/bench/import_bench.exe
// Prints each of five runs and their median, and the same without the
// progress bar (the model's import alone). Then "Import font file..." of
// DejaVu Sans Mono's file at the same height: the whole menu command (the
// file opened, the dialog with its previews, the import) and the engine's
// import alone. Last, Import font file... of the bitmap font files of 256
// glyphs, 2 bytes high, from the menu to the updated panel and symbol table:
// a console font (a gzip'ed PSF), 256 lines of Unifont's .hex and a 16 x 16
// sheet of the console font.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "EditorShell.h"
#include "FontImageView.h"
#include "FontImport.h"
#include "FontSheet.h"
#include "Pictures.h"
#include "WinBenchSupport_win.h"

namespace {

constexpr int kRuns = 5;
constexpr int kFontHeight = 4;
constexpr char kFontFile[] = "Z:/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
constexpr char kConsoleFont[] = "Z:/usr/share/consolefonts/Lat15-Terminus16.psf.gz";
constexpr int kBitmapFontHeight = 2;

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

std::string TempPath(const char* name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

bool WriteText(const std::string& path, const std::string& text) {
    return static_cast<bool>(WriteFileAtomically(path, reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

// 256 lines of Unifont's .hex.
std::string WriteUnifont256() {
    std::ifstream unifont("Z:/usr/share/unifont/unifont.hex");
    std::string text, line;
    for (int i = 0; i < 256 && std::getline(unifont, line); ++i) text += line + "\n";
    const std::string path = TempPath("glyphmill-bench-256.hex");
    return WriteText(path, text) ? path : "";
}

// The console font's grid, as glyphmill sheet --grid draws it.
std::string WriteConsoleSheet() {
    FontImage image;
    FontImportResult result;
    const std::unique_ptr<FontReader> file = OpenFontFile(kConsoleFont, result);
    FontImportRequest request;
    request.font = 0;
    std::vector<uint8_t> png;
    std::string error;
    const std::string path = TempPath("glyphmill-bench-sheet.png");
    if (!file || !image.InitNew() || !ImportFontFile(*file, request, image) ||
        !EncodePng(GridSheetOf(image.FontAt(0)), 1, png, error) || !WriteFileAtomically(path, png.data(), png.size()))
        return "";
    return path;
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

    const std::string hex = WriteUnifont256(), sheet = WriteConsoleSheet();
    for (const auto& [what, path] : {std::pair<const char*, std::string>{"a console font (PSF)", kConsoleFont},
                                     {"256 lines of Unifont (.hex)", hex},
                                     {"a 16 x 16 sheet (PNG)", sheet}}) {
        if (path.empty()) {
            std::printf("%s: not made\n", what);
            return 1;
        }
        AnswerImportFontFile(path.c_str(), kBitmapFontHeight);
        MedianSeconds((std::string("Import font file of ") + what + ", menu to updated panel").c_str(), [window] {
            SendMessageA(window, WM_COMMAND, kCommandImportFontFile, 0);
            RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        });
    }
    DeleteFileA(hex.c_str());
    DeleteFileA(sheet.c_str());
    DestroyWindow(window);
    PumpMessages();
    return 0;
}
