// Font menu "Export font file...": the current font written as glyphmill
// export writes it, as BDF, PSF or .hex by the file type chosen in the save
// dialog (or the extension typed), in the editor's own code page (the fonts
// it imports from Windows are ANSI, cp1252).
#include <windows.h>

#include <cctype>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "Charsets.h"
#include "EditorShell.h"
#include "FileDialog_win.h"
#include "FontExport.h"
#include "FontImageView.h"
#include "UiSeam.h"

namespace {

constexpr char kExportCharset[] = "cp1252";

// The save dialog's file types, in the order of its filter.
struct FileType {
    ExportFormat format;
    const char* extension;
};
constexpr FileType kFileTypes[] = {
    {ExportFormat::kBdf, ".bdf"}, {ExportFormat::kPsf, ".psf"}, {ExportFormat::kHex, ".hex"}};
constexpr char kFilter[] =
    "BDF font (*.bdf)\0*.bdf\0"
    "PSF console font (*.psf)\0*.psf\0"
    "Unifont .hex font (*.hex)\0*.hex\0";

// The format of the name's extension, else of the type chosen; the name
// gets the type's extension when it has none.
ExportFormat FormatFor(std::string& path, DWORD fileType) {
    if (const std::optional<ExportFormat> named = ExportFormatOfName(path)) return *named;
    const FileType& chosen = kFileTypes[fileType >= 1 && fileType <= std::size(kFileTypes) ? fileType - 1 : 0];
    const size_t name = path.find_last_of("\\/:") + 1;
    if (path.find('.', name) == std::string::npos) path += chosen.extension;
    return chosen.format;
}

void ShowExportError(const std::string& text) {
    Ui().messageBox(MainWindow(), text.c_str(), "Error", MB_OK | MB_ICONERROR);
}

std::string RefusalText(const std::string& path, const FileWrite& write) {
    if (write.result == WriteResult::kReadOnly) return path + " is read-only: it was left as it was.";
    return "The font file " + path + " could not be written: " + write.reason;
}

}  // namespace

void OnExportFontFile() {
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
    const FileDialogSettings settings{kFilter, "Export font file", OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST,
                                      1024, 1024, sizeof(OPENFILENAMEA), "bdf"};
    DWORD fileType = 1;
    std::optional<std::string> path = AskFileName(MainWindow(), FileDialogKind::kSave, settings, &fileType);
    if (!path) return;
    const ExportFormat format = FormatFor(*path, fileType);
    std::vector<uint8_t> bytes;
    if (!ExportFont(format, document->FontAt(index), charset, BdfStyle{}, bytes, error)) {
        error[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(error[0])));
        ShowExportError("The current font cannot be written as " + std::string(ExportFormatName(format)) + ". " +
                        error + ".");
        return;
    }
    const FileWrite written = WriteFileAtomically(*path, bytes.data(), bytes.size());
    if (!written) ShowExportError(RefusalText(*path, written));
}
