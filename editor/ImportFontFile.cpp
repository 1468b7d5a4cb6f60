// Font menu "Import font file...": a TrueType, OpenType, BDF, PCF or Windows
// .fon/.fnt file imported by the one import glyphmill import makes too, with
// the options in a small dialog that previews a few glyphs as they would be
// imported. OK is offered only while the preview imports; an import that
// fails all the same keeps the dialog open.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Charsets.h"
#include "EditorShell.h"
#include "FileDialog_win.h"
#include "FontImport.h"
#include "FontImageView.h"
#include "GlyverIds.h"
#include "PrintedLine.h"
#include "ScopedWin.h"
#include "UiSeam.h"

namespace {

constexpr char kFilter[] =
    "Font files (*.ttf;*.otf;*.ttc;*.bdf;*.pcf;*.pcf.gz;*.fon;*.fnt)\0"
    "*.ttf;*.otf;*.ttc;*.bdf;*.pcf;*.pcf.gz;*.fon;*.fnt\0"
    "All files (*.*)\0*.*\0";
constexpr const char* kExtensions[] = {".ttf", ".otf", ".ttc", ".bdf", ".pcf", ".pcf.gz", ".fon", ".fnt"};
constexpr char kDefaultCharset[] = "cp1252";
constexpr const char* kHeights[] = {"Automatic", "1", "2", "3", "4"};
constexpr char kSampleText[] = "AaBb019";

// The options as the dialog shows them; 0 is automatic.
struct ImportChoices {
    std::string charset = kDefaultCharset;
    int size = 0;
    int height = 0;
    bool monospace = false;
    bool asNewFont = false;
};

struct ImportDialogState {
    FontReader* file = nullptr;
    std::string path;
    ImportChoices choices;
    // Font 0 holds the glyphs as the choices import them.
    std::unique_ptr<FontImage> scratch;
    Charset charset;
    ImportSummary summary;
    std::string failure;  // why the choices import nothing, else empty
};

ImportDialogState Dialog;

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of("\\/:") + 1); }

FontImportRequest RequestFor(const ImportChoices& choices, int font) {
    FontImportRequest request;
    request.font = font;
    request.charset = choices.charset;
    request.size = choices.size;
    request.height = choices.height;
    request.monospace = choices.monospace;
    return request;
}

int ReadSize(HWND dialog) {
    BOOL number = FALSE;
    const UINT size = GetDlgItemInt(dialog, IDC_IMPORT_SIZE, &number, FALSE);
    return number ? static_cast<int>(std::min<UINT>(size, kMaxImportSize + 1)) : 0;
}

std::string SelectedText(HWND combo) {
    const LRESULT selected = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR) return {};
    std::vector<char> text(static_cast<size_t>(SendMessageA(combo, CB_GETLBTEXTLEN, selected, 0)) + 1, '\0');
    SendMessageA(combo, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

ImportChoices ReadChoices(HWND dialog) {
    ImportChoices choices;
    choices.charset = SelectedText(GetDlgItem(dialog, IDC_IMPORT_CHARSET));
    choices.size = ReadSize(dialog);
    // The list's place is the height: Automatic (0), then 1 to 4.
    const LRESULT height = SendDlgItemMessageA(dialog, IDC_IMPORT_HEIGHT, CB_GETCURSEL, 0, 0);
    choices.height = static_cast<int>(std::max<LRESULT>(height, 0));
    choices.monospace = IsDlgButtonChecked(dialog, IDC_IMPORT_MONOSPACE) == BST_CHECKED;
    choices.asNewFont = IsDlgButtonChecked(dialog, IDC_IMPORT_AS_NEW) == BST_CHECKED;
    return choices;
}

std::string SummaryText(const ImportSummary& summary) {
    return std::to_string(summary.size) + " px, " + std::to_string(summary.height) + " byte" +
           (summary.height == 1 ? "" : "s") + " high: " + std::to_string(summary.imported) + " glyphs imported, " +
           std::to_string(summary.missing) + " missing, " + std::to_string(summary.cut) + " cut";
}

// Imports the choices into the scratch font: a new font, or one with the
// current font's interval and height limit, which the import keeps. OK is
// offered only when it imports.
void UpdatePreview(HWND dialog) {
    Dialog.choices = ReadChoices(dialog);
    Font& font = Dialog.scratch->FontAt(0);
    font.Reset();
    if (!Dialog.choices.asNewFont) {
        const FontImageView& document = *Document();
        font.SetInterval(document.GetInterval(document.GetCurrentFont()));
        font.SetHeightLimit(document.GetHeightLimit(document.GetCurrentFont()));
    }
    const FontImportResult result = ImportFontFile(*Dialog.file, RequestFor(Dialog.choices, 0), *Dialog.scratch);
    std::string error;
    if (!LoadCharset(Dialog.choices.charset, Dialog.charset, error)) Dialog.charset = Charset{};
    Dialog.summary = result.summary;
    Dialog.failure = result.error;
    if (!Dialog.failure.empty())
        Dialog.failure[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(Dialog.failure[0])));
    SetDlgItemTextA(dialog, IDC_IMPORT_SUMMARY, result ? SummaryText(Dialog.summary).c_str() : "");
    EnableWindow(GetDlgItem(dialog, IDOK), result ? TRUE : FALSE);
    InvalidateRect(GetDlgItem(dialog, IDC_IMPORT_PREVIEW), nullptr, FALSE);
}

// The sample line as large as the preview holds it, or why there is none.
void DrawPreview(const DRAWITEMSTRUCT& item) {
    RECT area = item.rcItem;
    FillRect(item.hDC, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (!Dialog.failure.empty()) {
        DrawTextA(item.hDC, Dialog.failure.c_str(), -1, &area, DT_WORDBREAK | DT_NOPREFIX);
        return;
    }
    std::vector<int> codes;
    std::string unencodable;
    if (!EncodeText(kSampleText, Dialog.charset, codes, unencodable)) {
        codes.assign(std::begin(kSampleText), std::end(kSampleText) - 1);
    }
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const PrintedLine line = PrintLine(Dialog.scratch->FontAt(0), codes, width);
    if (line.width == 0 || line.rows == 0) return;
    const int scale = std::max(1, std::min(height / line.rows, width / line.width));
    DrawPrintedLine(item.hDC, line, area.left + (width - line.width * scale) / 2,
                    area.top + (height - line.rows * scale) / 2, scale);
}

void FillCombo(HWND combo, const std::vector<std::string>& items, const std::string& selected) {
    for (const std::string& item : items) {
        const LRESULT at = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        if (item == selected) SendMessageA(combo, CB_SETCURSEL, at, 0);
    }
}

void OnInitDialog(HWND dialog) {
    const std::string family = Dialog.file->FamilyName(), fileName = BaseName(Dialog.path);
    SetDlgItemTextA(dialog, IDC_IMPORT_FILE_NAME, (family.empty() ? fileName : family + " (" + fileName + ")").c_str());
    FillCombo(GetDlgItem(dialog, IDC_IMPORT_CHARSET), CharsetNames(), kDefaultCharset);
    FillCombo(GetDlgItem(dialog, IDC_IMPORT_HEIGHT), {std::begin(kHeights), std::end(kHeights)}, kHeights[0]);
    SendDlgItemMessageA(dialog, IDC_IMPORT_SIZE, EM_LIMITTEXT, 3, 0);
    CheckRadioButton(dialog, IDC_IMPORT_INTO_CURRENT, IDC_IMPORT_AS_NEW, IDC_IMPORT_INTO_CURRENT);
    EnableWindow(GetDlgItem(dialog, IDC_IMPORT_AS_NEW), Document()->GetFontCount() < FontImage::kMaxAddedFonts);
    UpdatePreview(dialog);
}

bool ChangesChoices(WORD control, WORD notification) {
    switch (control) {
    case IDC_IMPORT_CHARSET:
    case IDC_IMPORT_HEIGHT: return notification == CBN_SELCHANGE;
    case IDC_IMPORT_SIZE: return notification == EN_CHANGE;
    case IDC_IMPORT_MONOSPACE:
    case IDC_IMPORT_INTO_CURRENT:
    case IDC_IMPORT_AS_NEW: return notification == BN_CLICKED;
    default: return false;
    }
}

void ShowImportedFont(int index, bool added) {
    SelectFont(index);
    FillFontList();
    ShowFontFields();
    InvalidateSymbolViews(TRUE);
    if (!added) ReloadSymbolEditor();
}

// Into the current font, or into a new one at the end named as glyphmill
// import --add names it, as one step of the history. The dialog stays when
// it fails, and says why.
void ImportIntoDocument(HWND dialog) {
    const ImportChoices& choices = Dialog.choices;
    const int current = Document()->GetCurrentFont();
    UndoHistory::Pending change =
        BeginChange({choices.asNewFont ? ChangePart::FontAdded() : ChangePart::WholeFont(current)});
    const FontImportResult result = ImportFontFile(
        *Dialog.file, RequestFor(choices, choices.asNewFont ? FontImportRequest::kNewFont : current), *Document());
    if (!result) {
        const std::string text = Dialog.path + ": " + result.error + ". Nothing was imported.";
        Ui().messageBox(dialog, text.c_str(), "Error", MB_OK | MB_ICONERROR);
        return;
    }
    ShowImportedFont(result.index, choices.asNewFont);
    EndChange(std::move(change));
    EndDialog(dialog, IDOK);
}

INT_PTR OnDialogCommand(HWND dialog, WPARAM wParam) {
    const WORD control = LOWORD(wParam);
    if (control == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    if (control == IDOK) {
        Dialog.choices = ReadChoices(dialog);
        if (IsWindowEnabled(GetDlgItem(dialog, IDOK))) ImportIntoDocument(dialog);
        return TRUE;
    }
    if (!ChangesChoices(control, HIWORD(wParam))) return FALSE;
    UpdatePreview(dialog);
    return TRUE;
}

INT_PTR CALLBACK ImportDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
        case WM_INITDIALOG: OnInitDialog(dialog); return TRUE;
        case WM_COMMAND: return OnDialogCommand(dialog, wParam);
        case WM_DRAWITEM: DrawPreview(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
        default: return FALSE;
        }
    } catch (...) {
        // Out of memory while previewing: the dialog stays as it was.
        return FALSE;
    }
}

// The dialog for file, which imports on OK.
void ImportWithDialog(FontReader& file, const std::string& path) {
    Dialog = ImportDialogState{};
    Dialog.file = &file;
    Dialog.path = path;
    Dialog.scratch = std::make_unique<FontImage>();
    if (Dialog.scratch->InitNew())
        Ui().dialogBox(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_IMPORT_FONT_FILE), MainWindow(),
                       ImportDialogProc, 0);
    Dialog = ImportDialogState{};
}

}  // namespace

bool IsFontFileName(const std::string& path) {
    return std::any_of(std::begin(kExtensions), std::end(kExtensions),
                       [&path](const char* extension) { return HasExtension(path, extension); });
}

void ImportFontFileAt(const std::string& path) {
    if (!Document()) return;
    FontImportResult failure;
    const std::unique_ptr<FontReader> file = OpenFontFile(path, failure);
    if (!file) {
        ShowError(("The font file could not be read: " + failure.error + ". Nothing was imported.").c_str());
        return;
    }
    ImportWithDialog(*file, path);
}

void OnImportFontFile() {
    if (!Document()) return;
    const FileDialogSettings settings{kFilter, "Open font file", OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, MAX_PATH,
                                      MAX_PATH};
    const std::optional<std::string> chosen = AskFileName(MainWindow(), FileDialogKind::kOpen, settings);
    if (chosen) ImportFontFileAt(*chosen);
}
