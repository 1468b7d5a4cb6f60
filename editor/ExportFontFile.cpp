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
#include "BdfWriter.h"
#include "Charsets.h"
#include "EditorShell.h"
#include "FileDialog_win.h"
#include "FontImageView.h"
#include "HexFile.h"
#include "PsfFile.h"
#include "UiSeam.h"

namespace {

constexpr char kExportCharset[] = "cp1252";

// The save dialog's file types, in the order of its filter.
struct ExportFormat {
    enum Kind { kBdf, kPsf, kHex } kind;
    const char* extension;
    const char* name;
};
constexpr ExportFormat kFormats[] = {
    {ExportFormat::kBdf, ".bdf", "BDF"}, {ExportFormat::kPsf, ".psf", "PSF"}, {ExportFormat::kHex, ".hex", ".hex"}};
constexpr char kFilter[] =
    "BDF font (*.bdf)\0*.bdf\0"
    "PSF console font (*.psf)\0*.psf\0"
    "Unifont .hex font (*.hex)\0*.hex\0";

// The format of the name's extension, else of the type chosen; the name
// gets the format's extension when it has none.
const ExportFormat& FormatFor(std::string& path, DWORD fileType) {
    for (const ExportFormat& format : kFormats) {
        if (HasExtension(path, format.extension)) return format;
    }
    const ExportFormat& chosen = kFormats[fileType >= 1 && fileType <= std::size(kFormats) ? fileType - 1 : 0];
    const size_t name = path.find_last_of("\\/:") + 1;
    if (path.find('.', name) == std::string::npos) path += chosen.extension;
    return chosen;
}

void ShowExportError(const std::string& text) {
    Ui().messageBox(MainWindow(), text.c_str(), "Error", MB_OK | MB_ICONERROR);
}

std::string RefusalText(const std::string& path, const FileWrite& write) {
    if (write.result == WriteResult::kReadOnly) return path + " is read-only: it was left as it was.";
    return "The font file " + path + " could not be written: " + write.reason;
}

// The font in format's bytes; false, with error saying why, for a font the
// format cannot hold.
bool ExportedBytes(const ExportFormat& format, const Font& font, const Charset& charset, std::vector<uint8_t>& bytes,
                   std::string& error) {
    if (format.kind == ExportFormat::kPsf) return WritePsf2(font, charset, bytes, error);
    std::string text;
    if (format.kind == ExportFormat::kHex) {
        if (!WriteHex(font, charset, text, error)) return false;
    } else {
        text = BdfOf(font, charset);
    }
    bytes.assign(text.begin(), text.end());
    return true;
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
    const ExportFormat& format = FormatFor(*path, fileType);
    std::vector<uint8_t> bytes;
    if (!ExportedBytes(format, document->FontAt(index), charset, bytes, error)) {
        error[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(error[0])));
        ShowExportError("The current font cannot be written as " + std::string(format.name) + ". " + error + ".");
        return;
    }
    const FileWrite written = WriteFileAtomically(*path, bytes.data(), bytes.size());
    if (!written) ShowExportError(RefusalText(*path, written));
}
