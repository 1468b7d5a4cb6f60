// Font menu "Export BDF...": the current font written as glyphmill export
// writes it, in the editor's own code page (the fonts it imports from
// Windows are ANSI, cp1252).
#include <cstdint>
#include <optional>
#include <string>

#include "AtomicFile.h"
#include "BdfWriter.h"
#include "Charsets.h"
#include "EditorShell.h"
#include "FileDialog_win.h"
#include "FontImageView.h"
#include "UiSeam.h"

namespace {

constexpr char kExportCharset[] = "cp1252";

std::optional<std::string> AskBdfName() {
    const FileDialogSettings settings{"BDF font (*.bdf)\0*.bdf\0",
                                      "Export BDF",
                                      OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST,
                                      1024,
                                      1024,
                                      sizeof(OPENFILENAMEA),
                                      "bdf"};
    return AskFileName(MainWindow(), FileDialogKind::kSave, settings);
}

void ShowExportError(const std::string& text) {
    Ui().messageBox(MainWindow(), text.c_str(), "Error", MB_OK | MB_ICONERROR);
}

std::string RefusalText(const std::string& path, const FileWrite& write) {
    if (write.result == WriteResult::kReadOnly) return path + " is read-only: it was left as it was.";
    return "The BDF file " + path + " could not be written: " + write.reason;
}

}  // namespace

void OnExportBdf() {
    FontImageView* document = Document();
    if (!document) return;
    const int index = document->GetCurrentFont();
    if (IsFillerFont(*document, index)) {
        ShowExportError("This font is an \"Empty\" filler of the two-bank layout: it holds no symbols to export.");
        return;
    }
    Charset charset;
    std::string error;
    if (!LoadCharset(kExportCharset, charset, error)) {
        ShowExportError(error);
        return;
    }
    const std::optional<std::string> path = AskBdfName();
    if (!path) return;
    const std::string bdf = BdfOf(document->FontAt(index), charset);
    const FileWrite written =
        WriteFileAtomically(*path, reinterpret_cast<const uint8_t*>(bdf.data()), bdf.size());
    if (!written) ShowExportError(RefusalText(*path, written));
}
