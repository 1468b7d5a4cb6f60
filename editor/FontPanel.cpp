// The font panel: the font list, Add Font and Delete Font, and the fields
// with Set buttons for the current font's name, height, interval and height
// limit. Also lays out every child window of the main window.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <utility>

#include "EditorShell.h"
#include "FontImageView.h"
#include "Results.h"
#include "SymbolEditor.h"
#include "UiSeam.h"

namespace {

struct FontPanelState {
    HWND fontList = nullptr;
    HWND addFontButton = nullptr;
    HWND deleteFontButton = nullptr;
    HWND setNameButton = nullptr;
    HWND setHeightButton = nullptr;
    HWND setIntervalButton = nullptr;
    HWND setHeightLimitButton = nullptr;
    HWND nameField = nullptr;
    HWND heightField = nullptr;
    HWND intervalField = nullptr;
    HWND heightLimitField = nullptr;
    HWND progressBar = nullptr;
};

FontPanelState Panel;

struct FieldRange {
    int lowest;
    int highest;
};

constexpr FieldRange kHeightRange{1, 4};
constexpr FieldRange kIntervalRange{0, 15};
constexpr FieldRange kHeightLimitRange{1, 8};
constexpr int kListItemHeight = 30;
constexpr int kListWidth = 352;

struct Label {
    const char* text;
    RECT area;
};

constexpr Label kLabels[] = {
    {"Font:", {6, 8, 44, 23}},
    {"Font name:", {447, 45, 557, 60}},
    {"Font height:", {447, 110, 557, 125}},
    {"One-string fonts", {447, 135, 577, 150}},
    {"height limit:", {447, 150, 577, 165}},
    {"Intersymbol", {447, 175, 557, 190}},
    {"interval:", {447, 190, 557, 205}},
};

HWND CreateChild(HWND parent, HINSTANCE instance, const char* className, const char* text, DWORD extendedStyle,
                 DWORD style, int x, int y, int width, int height) {
    return CreateWindowExA(extendedStyle, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                           parent, nullptr, instance, nullptr);
}

HWND CreateButton(HWND parent, HINSTANCE instance, const char* text, int x, int y, int width, int height) {
    return CreateChild(parent, instance, "BUTTON", text, 0, 0, x, y, width, height);
}

HWND CreateNumberField(HWND parent, HINSTANCE instance, int x, int y) {
    return CreateChild(parent, instance, "EDIT", "", WS_EX_CLIENTEDGE, WS_BORDER | ES_NUMBER, x, y, 40, 22);
}

// The controls that exist only for a document.
std::array<HWND, 10> ButtonsAndFields() {
    return {Panel.addFontButton,   Panel.deleteFontButton,  Panel.setNameButton, Panel.setHeightButton,
            Panel.setIntervalButton, Panel.setHeightLimitButton, Panel.nameField,   Panel.heightField,
            Panel.intervalField,   Panel.heightLimitField};
}

int ReadNumber(HWND field) {
    char text[9] = {};
    GetWindowTextA(field, text, sizeof text);
    return std::atoi(text);
}

void SetNumber(HWND field, int value) { SetWindowTextA(field, std::to_string(value).c_str()); }

int CurrentFont() { return Document()->GetCurrentFont(); }

void OnAddFont() {
    FontImageView* document = Document();
    if (!document) return;
    UndoHistory::Pending change = BeginChange({ChangePart::FontAdded()});
    const bool added = document->AddFont() == 1;
    FillFontList();
    document->SetCurrentFont(document->GetFontCount() - 1);
    SendMessageA(Panel.fontList, CB_SETCURSEL, document->GetCurrentFont(), 0);
    ShowFontFields();
    EndChange(std::move(change));
    if (!added) {
        ShowError(("The image already holds " + std::to_string(document->GetFontCount()) +
                   " fonts: fonts are added up to 15 (only a file loaded with 16 holds more). No font was added.")
                      .c_str());
    }
}

void OnDeleteFont() {
    FontImageView* document = Document();
    if (!document) return;
    int index = document->GetCurrentFont();
    const Font* removed = document->fonts[index];
    const int countBefore = document->GetFontCount();
    UndoHistory::Pending change = BeginChange({ChangePart::FontRemoved(index)});
    document->RemoveFont(index);
    if (document->GetFontCount() < countBefore) {
        // The symbol editor may hold a symbol of the font that is gone.
        DetachSymbolEditor();
        ForgetCutInFont(removed);
    }
    if (index >= document->GetFontCount()) --index;
    FillFontList();
    document->SetCurrentFont(index);
    SendMessageA(Panel.fontList, CB_SETCURSEL, index, 0);
    ShowFontFields();
    InvalidateSymbolViews(TRUE);
    EndChange(std::move(change));
}

void OnSetName() {
    FontImageView* document = Document();
    if (!document) return;
    char text[9] = {};
    GetWindowTextA(Panel.nameField, text, sizeof text);
    UndoHistory::Pending change = BeginChange({ChangePart::FontFields(CurrentFont())});
    document->SetFontName(CurrentFont(), text);
    FillFontList();
    char stored[Font::kNameLength + 1] = {};
    document->GetFontName(CurrentFont(), stored);
    SetWindowTextA(Panel.nameField, stored);
    EndChange(std::move(change));
}

// Asked before a change that may lose ink; true to go on.
bool ConfirmDataLoss() {
    return Ui().messageBox(MainWindow(), "You want font height change. Some part of data may be lost. Continue?",
                           "Warning", MB_OKCANCEL | MB_ICONWARNING) == IDOK;
}

// Whether a symbol of a font 1 byte high has ink in a row at or above row
// (from the bottom): the rows a save clears under that height limit.
bool HasInkFromRow(const Font& font, int row) {
    if (font.GetHeight() != 1) return false;
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        const Symbol& symbol = font.At(code);
        for (int column = 0; column < symbol.DrawableColumns(); ++column) {
            for (int r = row; r < 8; ++r) {
                if (symbol.IsInk(column, r)) return true;
            }
        }
    }
    return false;
}

void OnSetHeight() {
    FontImageView* document = Document();
    if (!document) return;
    const int oldHeight = document->GetFontHeight(CurrentFont());
    const int height = std::clamp(ReadNumber(Panel.heightField), kHeightRange.lowest, kHeightRange.highest);
    if (height < oldHeight && !ConfirmDataLoss()) {
        ShowFontFields();
        return;
    }
    UndoHistory::Pending change = BeginChange({ChangePart::WholeFont(CurrentFont())});
    if (document->SetFontHeight(CurrentFont(), height) == EditResult::kTooWide) {
        ShowError("Some symbols of this font are too wide for that height. The font height was not changed.");
        ShowFontFields();
        return;
    }
    FillFontList();
    ShowFontFields();
    InvalidateSymbolViews(TRUE);
    ReloadSymbolEditor();
    EndChange(std::move(change));
}

void OnSetInterval() {
    FontImageView* document = Document();
    if (!document) return;
    const int interval = std::clamp(ReadNumber(Panel.intervalField), kIntervalRange.lowest, kIntervalRange.highest);
    UndoHistory::Pending change = BeginChange({ChangePart::FontFields(CurrentFont())});
    document->SetInterval(CurrentFont(), interval);
    ShowFontFields();
    EndChange(std::move(change));
}

void OnSetHeightLimit() {
    FontImageView* document = Document();
    if (!document) return;
    const int limit =
        std::clamp(ReadNumber(Panel.heightLimitField), kHeightLimitRange.lowest, kHeightLimitRange.highest);
    // A lower limit hides rows that the next save clears for good.
    const Font& font = document->FontAt(CurrentFont());
    if (limit < font.GetHeightLimit() && HasInkFromRow(font, limit) && !ConfirmDataLoss()) {
        ShowFontFields();
        return;
    }
    UndoHistory::Pending change = BeginChange({ChangePart::WholeFont(CurrentFont())});
    document->SetHeightLimit(CurrentFont(), limit);
    ShowFontFields();
    ReloadSymbolEditor();
    EndChange(std::move(change));
}

// Brings a number field into its range when it loses the focus; the model is
// not touched.
void ClampFieldText(HWND field) {
    const FieldRange range = field == Panel.heightField     ? kHeightRange
                             : field == Panel.intervalField ? kIntervalRange
                                                            : kHeightLimitRange;
    const int value = ReadNumber(field);
    if (value < range.lowest) SetNumber(field, range.lowest);
    if (value > range.highest) SetNumber(field, range.highest);
}

void OnFontListCommand(WPARAM wParam) {
    if (HIWORD(wParam) != CBN_SELCHANGE) return;
    const LRESULT selection = SendMessageA(Panel.fontList, CB_GETCURSEL, 0, 0);
    if (selection == CB_ERR) return;
    SelectFont(static_cast<int>(selection));
    ShowFontFields();
}

}  // namespace

void CreatePanelWindows(HWND mainWindow, HINSTANCE instance) {
    if (!CreateSymbolTableWindows(mainWindow, instance)) return;
    Panel.fontList = CreateChild(mainWindow, instance, "COMBOBOX", "", 0, CBS_DROPDOWNLIST, 50, 3, kListWidth, 60);
    Panel.addFontButton = CreateButton(mainWindow, instance, "Add Font", 452, 3, 90, 25);
    Panel.deleteFontButton = CreateButton(mainWindow, instance, "Delete Font", 577, 3, 90, 25);
    Panel.setNameButton = CreateButton(mainWindow, instance, "Set", 632, 71, 30, 20);
    Panel.setHeightButton = CreateButton(mainWindow, instance, "Set", 632, 111, 30, 20);
    Panel.setIntervalButton = CreateButton(mainWindow, instance, "Set", 632, 180, 30, 20);
    Panel.setHeightLimitButton = CreateButton(mainWindow, instance, "Set", 632, 146, 30, 20);
    Panel.nameField =
        CreateChild(mainWindow, instance, "EDIT", "", WS_EX_CLIENTEDGE, WS_BORDER | ES_AUTOHSCROLL, 447, 70, 130, 22);
    Panel.heightField = CreateNumberField(mainWindow, instance, 587, 110);
    Panel.intervalField = CreateNumberField(mainWindow, instance, 587, 180);
    Panel.heightLimitField = CreateNumberField(mainWindow, instance, 587, 145);
    Panel.progressBar = CreateChild(mainWindow, instance, PROGRESS_CLASSA, "", 0, 0, 35, 462, kTableSize, 10);

    SendMessageA(Panel.nameField, EM_LIMITTEXT, 64, 0);
    SendMessageA(Panel.heightField, EM_LIMITTEXT, 1, 0);
    SendMessageA(Panel.intervalField, EM_LIMITTEXT, 2, 0);
    SendMessageA(Panel.heightLimitField, EM_LIMITTEXT, 1, 0);
    for (HWND control : ButtonsAndFields()) EnableWindow(control, FALSE);
    ShowWindow(PreviewWindow(), SW_HIDE);
    ShowWindow(Panel.progressBar, SW_HIDE);
}

void DestroyPanelWindows() {
    for (HWND child : {Panel.fontList, Panel.addFontButton, Panel.deleteFontButton, Panel.setNameButton,
                       Panel.setHeightButton, Panel.setIntervalButton, Panel.setHeightLimitButton, Panel.nameField,
                       Panel.heightField, Panel.intervalField, Panel.heightLimitField, Panel.progressBar,
                       SymbolTableWindow()}) {
        if (child) DestroyWindow(child);
    }
    Panel = FontPanelState{};
}

void PaintPanelLabels(HDC dc) {
    for (const Label& label : kLabels) {
        RECT area = label.area;
        DrawTextA(dc, label.text, -1, &area, 0);
    }
}

bool HandlePanelCommand(HWND mainWindow, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const HWND control = reinterpret_cast<HWND>(lParam);
    if (!control) return false;
    *result = 0;
    if (control == Panel.fontList) {
        OnFontListCommand(wParam);
        *result = DefWindowProcA(mainWindow, WM_COMMAND, wParam, lParam);
    } else if (control == Panel.addFontButton) {
        OnAddFont();
        InvalidateSymbolViews(TRUE);
    } else if (control == Panel.deleteFontButton) {
        OnDeleteFont();
    } else if (control == Panel.setNameButton) {
        OnSetName();
    } else if (control == Panel.setHeightButton) {
        OnSetHeight();
    } else if (control == Panel.setIntervalButton) {
        OnSetInterval();
    } else if (control == Panel.setHeightLimitButton) {
        OnSetHeightLimit();
    } else if (control == Panel.heightField || control == Panel.intervalField || control == Panel.heightLimitField) {
        if (HIWORD(wParam) == EN_KILLFOCUS) ClampFieldText(control);
    } else {
        return false;
    }
    return true;
}

void FillFontList() {
    FontImageView* document = Document();
    SendMessageA(Panel.fontList, CB_RESETCONTENT, 0, 0);
    if (!document) return;
    SetWindowPos(Panel.fontList, nullptr, 0, 0, kListWidth, kListItemHeight * document->GetFontCount(),
                 SWP_NOMOVE | SWP_NOZORDER);
    for (int i = 0; i < document->GetFontCount(); ++i) {
        char name[Font::kNameLength + 1] = {};
        document->GetFontName(i, name);
        const std::string item = "Font #" + std::to_string(i) + "   \"" + name + "\"    (H = " +
                                 std::to_string(document->GetFontHeight(i)) + ")";
        SendMessageA(Panel.fontList, CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(item.c_str()));
    }
    SendMessageA(Panel.fontList, CB_SETCURSEL, document->GetCurrentFont(), 0);
}

void ShowFontFields() {
    FontImageView* document = Document();
    if (!document) return;
    const LRESULT selected = SendMessageA(Panel.fontList, CB_GETCURSEL, 0, 0);
    // Only fonts that exist are shown.
    if (selected < 0 || selected >= document->GetFontCount()) return;
    const int font = static_cast<int>(selected);
    char name[Font::kNameLength + 1] = {};
    document->GetFontName(font, name);
    SetWindowTextA(Panel.nameField, name);
    const int height = document->GetFontHeight(font);
    SetNumber(Panel.heightField, height);
    SetNumber(Panel.intervalField, document->GetInterval(font));
    EnableWindow(Panel.heightLimitField, height == 1);
    EnableWindow(Panel.setHeightLimitButton, height == 1);
    SetNumber(Panel.heightLimitField, document->GetHeightLimit(font));
}

void SelectFont(int index) {
    FontImageView* document = Document();
    if (!document) return;
    document->SetCurrentFont(std::clamp(index, 0, document->GetFontCount() - 1));
    document->SetScrollRow(0);
    InvalidateRect(SymbolTableWindow(), nullptr, FALSE);
    InvalidateRect(PreviewWindow(), nullptr, TRUE);
    RefreshTextPreview();
}

void EnablePanelControls() {
    for (HWND control : ButtonsAndFields()) EnableWindow(control, TRUE);
}

void ReloadSymbolEditor() {
    FontImageView* document = Document();
    LoadSymbolIntoEditor(document->GetSymbol(document->GetCurrentSymbol()));
    InvalidateRect(SymbolEditorWindow(), nullptr, TRUE);
}

HWND ProgressBarWindow() { return Panel.progressBar; }
