// Font menu "Import font file...": a TrueType, OpenType, WOFF, BDF, PCF or
// Windows .fon/.fnt file, a console PSF font, a Unifont .hex file, a raw dump
// or a picture sheet imported by the one import glyphmill import makes too,
// with the options in a small dialog that previews a few glyphs as they
// would be imported. A raw dump's glyph size and a sheet's cell, which the
// file does not say, are asked for there. OK is offered only while the
// preview imports; an import that fails all the same keeps the dialog open.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "BitmapFont.h"
#include "BitmapFontReader.h"
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

// The files read as raw dumps: their names say so, their bytes cannot.
constexpr const char* kRawDumpExtensions[] = {".f08", ".f14", ".f16", ".rom"};
constexpr const char* kExtensions[] = {".ttf",  ".otf",  ".ttc",    ".woff", ".woff2",  ".bdf", ".pcf",
                                       ".pcf.gz", ".fon", ".fnt",  ".psf",  ".psfu", ".psf.gz", ".hex",
                                       ".hex.gz", ".f08", ".f14", ".f16",  ".rom",  ".png",  ".bmp"};
constexpr int kDefaultRawWidth = 8;
constexpr int kDefaultRawHeight = 16;
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
    std::string path;
    std::vector<uint8_t> bytes;  // the file as read
    bool rawDump = false;        // its glyphs' size is asked for
    bool sheet = false;          // its cell is asked for
    FontFileLayout layout;
    std::unique_ptr<FontReader> file;  // null while the layout reads no font
    std::string openFailure;           // why, then
    bool filled = false;               // the controls hold their first values
    ImportChoices choices;
    // Font 0 holds the glyphs as the choices import them.
    std::unique_ptr<FontImage> scratch;
    Charset charset;
    ImportSummary summary;
    std::string failure;  // why the choices import nothing, else empty
};

ImportDialogState Dialog;

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of("\\/:") + 1); }

bool HasAnExtensionOf(const std::string& path, const char* const* first, const char* const* last) {
    return std::any_of(first, last, [&path](const char* extension) { return HasExtension(path, extension); });
}

// The open dialog's filter: every extension the import takes, then all files.
std::string OpenFilter() {
    std::string patterns;
    for (const char* extension : kExtensions) patterns += std::string(patterns.empty() ? "*" : ";*") + extension;
    const std::string filter = "Font files (TrueType, OpenType, WOFF, BDF, PCF, .fon, PSF, .hex, raw dumps, "
                               "PNG and BMP sheets)";
    return filter + '\0' + patterns + '\0' + "All files (*.*)" + '\0' + "*.*" + '\0';
}

// A raw dump's glyphs as its name says (a DOS font file's: 8 pixels wide,
// so many rows), else 8 wide and as high as 256 of them fill the file, else
// 8 x 16.
FontFileLayout RawDumpLayout(const std::string& path, size_t size) {
    static const struct {
        const char* extension;
        int rows;
    } kDosFontFiles[] = {{".f08", 8}, {".f14", 14}, {".f16", 16}};
    FontFileLayout layout;
    layout.rawWidth = kDefaultRawWidth;
    layout.rawHeight = kDefaultRawHeight;
    if (size % 256 == 0 && size / 256 >= 1 && size / 256 <= kMaxBitmapGlyphSide)
        layout.rawHeight = static_cast<int>(size / 256);
    for (const auto& file : kDosFontFiles) {
        if (HasExtension(path, file.extension)) layout.rawHeight = file.rows;
    }
    return layout;
}

// Reads the file with the layout; its failure stays to be shown.
void OpenWithLayout() {
    FontImportResult failure;
    Dialog.file = FontFromBytes(Dialog.bytes, BaseName(Dialog.path), failure, Dialog.layout);
    Dialog.openFailure = Dialog.file ? std::string() : failure.error;
}

std::string FieldText(HWND dialog, int id) {
    char text[64] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// The layout the fields give; false, with why, for a size that is not W x H.
bool ReadLayout(HWND dialog, FontFileLayout& layout, std::string& why) {
    layout = FontFileLayout{};
    const std::string size = FieldText(dialog, IDC_IMPORT_LAYOUT);
    if (Dialog.sheet) {
        if (size.empty() || ParsePixelSize(size, layout.cellWidth, layout.cellHeight)) return true;
        why = "Type the cell's size as W x H pixels, as 8x16, or leave it empty for the picture's size / 16";
        return false;
    }
    if (!ParsePixelSize(size, layout.rawWidth, layout.rawHeight) || layout.rawWidth < 1 || layout.rawHeight < 1) {
        why = "Type the glyphs' size as W x H pixels, as 8x16";
        return false;
    }
    layout.rawOffset = std::strtoull(FieldText(dialog, IDC_IMPORT_OFFSET).c_str(), nullptr, 10);
    return true;
}

void OnLayoutChanged(HWND dialog) {
    std::string why;
    if (ReadLayout(dialog, Dialog.layout, why)) {
        OpenWithLayout();
    } else {
        Dialog.file.reset();
        Dialog.openFailure = why;
    }
}

// The row of a raw dump's glyph size and offset, or of a sheet's cell;
// hidden for a file that says its glyphs' size itself.
void ShowLayoutRow(HWND dialog) {
    const bool shown = Dialog.rawDump || Dialog.sheet;
    for (const int id : {IDC_IMPORT_LAYOUT_LABEL, IDC_IMPORT_LAYOUT, IDC_IMPORT_LAYOUT_NOTE})
        ShowWindow(GetDlgItem(dialog, id), shown ? SW_SHOW : SW_HIDE);
    ShowWindow(GetDlgItem(dialog, IDC_IMPORT_OFFSET), Dialog.rawDump ? SW_SHOW : SW_HIDE);
    if (Dialog.rawDump) {
        const FontFileLayout& layout = Dialog.layout;
        SetDlgItemTextA(dialog, IDC_IMPORT_LAYOUT_LABEL, "Glyphs (W x H):");
        SetDlgItemTextA(dialog, IDC_IMPORT_LAYOUT,
                        (std::to_string(layout.rawWidth) + "x" + std::to_string(layout.rawHeight)).c_str());
        SetDlgItemTextA(dialog, IDC_IMPORT_LAYOUT_NOTE, "Offset in bytes:");
        SetDlgItemTextA(dialog, IDC_IMPORT_OFFSET, "0");
    } else if (Dialog.sheet) {
        SetDlgItemTextA(dialog, IDC_IMPORT_LAYOUT_LABEL, "Cells (W x H):");
        SetDlgItemTextA(dialog, IDC_IMPORT_LAYOUT_NOTE, "empty: picture size / 16");
    }
}

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

// Imports the choices into the scratch font: a new font, or a copy of the
// current font, whose interval, height limit and blank symbols an import
// may keep. OK is offered only when it imports.
void UpdatePreview(HWND dialog) {
    Dialog.choices = ReadChoices(dialog);
    Font& font = Dialog.scratch->FontAt(0);
    font.Reset();
    if (!Dialog.choices.asNewFont) CopyFont(Document()->FontAt(Document()->GetCurrentFont()), font);
    FontImportResult result;
    if (Dialog.file) {
        result = ImportFontFile(*Dialog.file, RequestFor(Dialog.choices, 0), *Dialog.scratch);
    } else {
        result.result = ImportResult::kNotAFont;
        result.error = Dialog.openFailure;
    }
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
    const std::string family = Dialog.file ? Dialog.file->FamilyName() : "", fileName = BaseName(Dialog.path);
    SetDlgItemTextA(dialog, IDC_IMPORT_FILE_NAME, (family.empty() ? fileName : family + " (" + fileName + ")").c_str());
    FillCombo(GetDlgItem(dialog, IDC_IMPORT_CHARSET), CharsetNames(), kDefaultCharset);
    FillCombo(GetDlgItem(dialog, IDC_IMPORT_HEIGHT), {std::begin(kHeights), std::end(kHeights)}, kHeights[0]);
    SendDlgItemMessageA(dialog, IDC_IMPORT_SIZE, EM_LIMITTEXT, 3, 0);
    CheckRadioButton(dialog, IDC_IMPORT_INTO_CURRENT, IDC_IMPORT_AS_NEW, IDC_IMPORT_INTO_CURRENT);
    EnableWindow(GetDlgItem(dialog, IDC_IMPORT_AS_NEW), Document()->GetFontCount() < FontImage::kMaxAddedFonts);
    SendDlgItemMessageA(dialog, IDC_IMPORT_LAYOUT, EM_LIMITTEXT, 9, 0);
    SendDlgItemMessageA(dialog, IDC_IMPORT_OFFSET, EM_LIMITTEXT, 9, 0);
    ShowLayoutRow(dialog);
    Dialog.filled = true;
    UpdatePreview(dialog);
}

bool ChangesLayout(WORD control, WORD notification) {
    return (control == IDC_IMPORT_LAYOUT || control == IDC_IMPORT_OFFSET) && notification == EN_CHANGE;
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
    if (!Dialog.filled) return FALSE;
    if (ChangesLayout(control, HIWORD(wParam))) {
        OnLayoutChanged(dialog);
    } else if (!ChangesChoices(control, HIWORD(wParam))) {
        return FALSE;
    }
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

void ShowReadError(const std::string& error) {
    ShowError(("The font file could not be read: " + error + ". Nothing was imported.").c_str());
}

// The dialog for the file at path, read as bytes, which imports on OK. A
// file that says its glyphs' size itself and cannot be read is refused at
// once; a raw dump or a sheet opens the dialog, where its size can be put
// right.
void ImportWithDialog(const std::string& path, std::vector<uint8_t> bytes) {
    Dialog = ImportDialogState{};
    Dialog.path = path;
    Dialog.bytes = std::move(bytes);
    Dialog.rawDump = HasAnExtensionOf(path, std::begin(kRawDumpExtensions), std::end(kRawDumpExtensions));
    if (Dialog.rawDump) Dialog.layout = RawDumpLayout(path, Dialog.bytes.size());
    Dialog.sheet = !Dialog.rawDump && BitmapFontFormatOf(Dialog.bytes, path, {}) == BitmapFontFormat::kSheet;
    OpenWithLayout();
    Dialog.scratch = std::make_unique<FontImage>();
    if (!Dialog.file && !Dialog.rawDump && !Dialog.sheet) {
        ShowReadError(Dialog.openFailure);
    } else if (Dialog.scratch->InitNew()) {
        Ui().dialogBox(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_IMPORT_FONT_FILE), MainWindow(),
                       ImportDialogProc, 0);
    }
    Dialog = ImportDialogState{};
}

}  // namespace

bool IsFontFileName(const std::string& path) {
    return HasAnExtensionOf(path, std::begin(kExtensions), std::end(kExtensions));
}

void ImportFontFileAt(const std::string& path) {
    if (!Document()) return;
    FontImportResult failure;
    std::vector<uint8_t> bytes;
    if (!ReadFontFile(path, bytes, failure)) {
        ShowReadError(failure.error);
        return;
    }
    ImportWithDialog(path, std::move(bytes));
}

void OnImportFontFile() {
    if (!Document()) return;
    const std::string filter = OpenFilter();
    const FileDialogSettings settings{filter.c_str(), "Open font file", OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                                      MAX_PATH, MAX_PATH};
    const std::optional<std::string> chosen = AskFileName(MainWindow(), FileDialogKind::kOpen, settings);
    if (chosen) ImportFontFileAt(*chosen);
}
