// The "Symbol Editor" window: a grid of 10-pixel cells over the working copy
// of one symbol, the buttons and fields below it, and the File menu of the
// imports. One instance per process; its state lives in Editor below.
#include "SymbolEditor.h"

#include <algorithm>
#include <string>

#include "BitmapImport.h"
#include "FontImageView.h"
#include "ScopedWin.h"
#include "Symbol.h"
#include "SymbolEditorHost.h"
#include "SymbolEditorTestAccess.h"
#include "SymbolWorkCopy.h"
#include "WindowClass_win.h"

namespace {

constexpr char kEditorClass[] = "GlyverEditCls";
constexpr char kGridClass[] = "GlyverGridEditCls";
constexpr int kCellSize = 10;
constexpr int kVisibleColumns = 90;
constexpr int kWindowHeight = 580;
constexpr int kMinWindowWidth = 385;
constexpr COLORREF kGridLine = RGB(160, 160, 160);

enum ShiftIcon { kIconUp, kIconDown, kIconRight, kIconLeft, kIconCount };

struct EditorState {
    HWND window = nullptr;
    HWND owner = nullptr;
    HWND grid = nullptr;
    HWND scrollBar = nullptr;
    HWND okButton = nullptr;
    HWND cancelButton = nullptr;
    HWND shiftButtons[kIconCount] = {};
    HWND addColumnButton = nullptr;
    HWND deleteColumnButton = nullptr;
    HWND byteString = nullptr;
    HWND widthField = nullptr;
    HWND heightField = nullptr;
    HWND limitField = nullptr;
    HWND undoButton = nullptr;
    HWND redoButton = nullptr;
    ScopedIcon icons[kIconCount];

    Symbol* editedSymbol = nullptr;
    SymbolWorkCopy work;
    EditSession session;
    ImportPicture importBuffer;
    int gridWidth = kCellSize;
    int gridHeight = 8 * kCellSize;
    bool scrollMode = false;
    int viewOffset = 0;
    int dragMode = 0;  // 0 none, 1 drawing ink, 2 erasing
};

EditorState Editor;
FontImageView* (*DocumentSource)() = nullptr;
void (*CommitChanging)(const Symbol&) = nullptr;
void (*CommitChanged)(const Symbol&) = nullptr;

FontImageView* CurrentDocument() { return DocumentSource ? DocumentSource() : nullptr; }

// Without a document source (a program that has not passed one) a loaded
// symbol stands for the document.
bool DocumentExists() { return DocumentSource ? DocumentSource() != nullptr : Editor.editedSymbol != nullptr; }

void SetNumber(HWND field, int value) { SetWindowTextA(field, std::to_string(value).c_str()); }

void UpdateByteString() { SetWindowTextA(Editor.byteString, Editor.work.ByteString().c_str()); }

void UpdateCaption() {
    const FontImageView* document = CurrentDocument();
    const int code = document ? document->GetCurrentSymbol() : 0;
    SetWindowTextA(Editor.window, ("Symbol Editor   #" + std::to_string(code)).c_str());
}

void LayoutEditor(bool keepScrollPosition) {
    const int width = kCellSize * Editor.work.ColumnCount();
    Editor.gridHeight = kCellSize * Editor.work.RowCount();
    int windowWidth;
    if (width <= kCellSize * kVisibleColumns) {
        Editor.scrollMode = false;
        Editor.gridWidth = width;
        Editor.viewOffset = 0;
        windowWidth = width < 375 ? kMinWindowWidth : width + 15;
    } else {
        Editor.scrollMode = true;
        Editor.gridWidth = kCellSize * kVisibleColumns;
        windowWidth = Editor.gridWidth + 15;
    }
    const UINT keepPlace = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(Editor.window, nullptr, 0, 0, windowWidth, kWindowHeight, keepPlace);
    SetWindowPos(Editor.grid, nullptr, 0, 0, Editor.gridWidth + 2, Editor.gridHeight + 2, keepPlace);
    if (!Editor.scrollMode) {
        ShowWindow(Editor.scrollBar, SW_HIDE);
        return;
    }
    int position = keepScrollPosition ? static_cast<int>(SendMessageA(Editor.scrollBar, SBM_GETPOS, 0, 0)) : 0;
    MoveWindow(Editor.scrollBar, 5, Editor.gridHeight + 7, Editor.gridWidth, 18, TRUE);
    ShowWindow(Editor.scrollBar, SW_SHOW);
    const int maximum = Editor.work.ColumnCount() - kVisibleColumns;
    SendMessageA(Editor.scrollBar, SBM_SETRANGE, 0, maximum);
    position = std::clamp(position, 0, maximum);
    SendMessageA(Editor.scrollBar, SBM_SETPOS, position, TRUE);
    Editor.viewOffset = position;
}

void CommitSymbol() {
    Symbol* symbol = Editor.editedSymbol;
    if (!symbol) return;
    if (CommitChanging) CommitChanging(*symbol);
    Editor.work.CommitTo(*symbol);
    if (CommitChanged) CommitChanged(*symbol);
}

void UpdateUndoButtons() {
    EnableWindow(Editor.undoButton, Editor.session.CanUndo());
    EnableWindow(Editor.redoButton, Editor.session.CanRedo());
}

// Every edit of the working copy is one step of the session.
template <class Edit>
void Edited(Edit edit) {
    Editor.session.Begin(Editor.work);
    edit();
    Editor.session.End(Editor.work);
    UpdateUndoButtons();
}

// After an undo or redo the width, the layout and the image may all differ.
void ShowWorkCopy() {
    UpdateByteString();
    SetNumber(Editor.widthField, Editor.work.ColumnCount());
    LayoutEditor(true);
    InvalidateRect(Editor.window, nullptr, TRUE);
    UpdateUndoButtons();
}

void UndoEdit() {
    if (Editor.dragMode == 0 && Editor.session.Undo(Editor.work)) ShowWorkCopy();
}

void RedoEdit() {
    if (Editor.dragMode == 0 && Editor.session.Redo(Editor.work)) ShowWorkCopy();
}

void CloseEditor() { PostMessageA(Editor.window, WM_CLOSE, 0, 0); }

void Shift(ShiftDirection direction, BOOL erase) {
    Edited([direction] { Editor.work.Shift(direction); });
    UpdateByteString();
    InvalidateRect(Editor.window, nullptr, erase);
}

void ChangeColumnCount(int delta) {
    Edited([delta] { Editor.work.SetColumnCount(Editor.work.ColumnCount() + delta); });
    UpdateByteString();
    SetNumber(Editor.widthField, Editor.work.ColumnCount());
    LayoutEditor(true);
    InvalidateRect(Editor.window, nullptr, FALSE);
}

void ApplyImport() {
    Edited([] { Editor.work.ApplyImport(Editor.importBuffer); });
    LayoutEditor(false);
    UpdateByteString();
    InvalidateRect(Editor.window, nullptr, TRUE);
    SetNumber(Editor.widthField, Editor.work.ColumnCount());
}

void ImportFrom(int (*import)(HWND, int, ImportPicture*)) {
    ImportPicture picture;
    if (!import(Editor.window, Editor.work.RowCount(), &picture)) return;
    Editor.importBuffer = std::move(picture);
    ApplyImport();
}

ShiftDirection DirectionOfButton(int index) {
    switch (index) {
        case kIconUp: return ShiftDirection::kUp;
        case kIconDown: return ShiftDirection::kDown;
        case kIconRight: return ShiftDirection::kRight;
        default: return ShiftDirection::kLeft;
    }
}

// A click of one of the editor's buttons; false when control is none of them.
bool OnButton(HWND control) {
    if (control == Editor.okButton) {
        CommitSymbol();
        CloseEditor();
    } else if (control == Editor.cancelButton) {
        CloseEditor();
    } else if (control == Editor.addColumnButton) {
        ChangeColumnCount(+1);
    } else if (control == Editor.deleteColumnButton) {
        ChangeColumnCount(-1);
    } else if (control == Editor.undoButton) {
        UndoEdit();
    } else if (control == Editor.redoButton) {
        RedoEdit();
    } else {
        const HWND* begin = Editor.shiftButtons;
        const HWND* end = begin + kIconCount;
        const HWND* button = std::find(begin, end, control);
        if (button == end) return false;
        Shift(DirectionOfButton(static_cast<int>(button - begin)), TRUE);
    }
    return true;
}

void OnMenuCommand(WORD command) {
    switch (command) {
        case kLoadFromBitmap: ImportFrom(ImportFromBitmapFile); break;
        case kLoadFromClipboard: ImportFrom(ImportFromClipboard); break;
        case kCloseEditWindow: CloseEditor(); break;
    }
}

void OnKeyCommand(WORD command) {
    switch (command) {
        case kKeyInsert: ChangeColumnCount(+1); break;
        case kKeyDelete: ChangeColumnCount(-1); break;
        case kKeyEnter: CommitSymbol(); CloseEditor(); break;
        case kKeyEscape: CloseEditor(); break;
        case kKeyLeft: Shift(ShiftDirection::kLeft, FALSE); break;
        case kKeyRight: Shift(ShiftDirection::kRight, FALSE); break;
        case kKeyUp: Shift(ShiftDirection::kUp, FALSE); break;
        case kKeyDown: Shift(ShiftDirection::kDown, FALSE); break;
    }
}

void OnCommand(WPARAM wParam, LPARAM lParam) {
    const HWND control = reinterpret_cast<HWND>(lParam);
    if (control && HIWORD(wParam) == BN_CLICKED && OnButton(control)) return;
    const WORD command = LOWORD(wParam);
    if (!IsWindowVisible(Editor.window)) return;
    if (command >= kLoadFromBitmap && command <= kCloseEditWindow) {
        OnMenuCommand(command);
    } else if (command >= kKeyInsert && command <= kKeyDown) {
        OnKeyCommand(command);
    } else if (command == kUndoCommand) {
        UndoEdit();
    } else if (command == kRedoCommand) {
        RedoEdit();
    }
}

void OnEditorScroll(WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(lParam) != Editor.scrollBar || !Editor.scrollMode) return;
    int minimum = 0;
    int maximum = 0;
    SendMessageA(Editor.scrollBar, SBM_GETRANGE, reinterpret_cast<WPARAM>(&minimum), reinterpret_cast<LPARAM>(&maximum));
    switch (LOWORD(wParam)) {
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: Editor.viewOffset = HIWORD(wParam); break;
        case SB_LINELEFT:
        case SB_PAGELEFT:
        case SB_LEFT: Editor.viewOffset -= 1; break;
        case SB_LINERIGHT:
        case SB_PAGERIGHT:
        case SB_RIGHT: Editor.viewOffset += 1; break;
    }
    // Also a thumb position from outside the range would show columns that do not exist.
    Editor.viewOffset = std::clamp(Editor.viewOffset, minimum, maximum);
    SendMessageA(Editor.scrollBar, SBM_SETPOS, Editor.viewOffset, TRUE);
    InvalidateRect(Editor.grid, nullptr, FALSE);
}

void OnEditorPaint(HWND window) {
    ScopedPaint paint(window);
    struct Label {
        const char* text;
        RECT place;
    };
    const Label labels[] = {
        {"String:", {6, 410, 60, 430}},
        {"Symbol width, bit:", {6, 379, 140, 399}},
        {"Symbol height, byte:", {6, 352, 140, 372}},
    };
    const bool oneByteHigh = Editor.work.HeightBytes() == 1;
    ScopedSelect font(paint.Get(), GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(paint.Get(), TRANSPARENT);
    for (const Label& label : labels) {
        RECT place = label.place;
        DrawTextA(paint.Get(), label.text, -1, &place, DT_LEFT | DT_TOP);
    }
    if (oneByteHigh) {
        RECT place{180, 352, 300, 372};
        DrawTextA(paint.Get(), "Height limit, bit:", -1, &place, DT_LEFT | DT_TOP);
    }
    ShowWindow(Editor.limitField, oneByteHigh ? SW_SHOW : SW_HIDE);
    InvalidateRect(Editor.grid, nullptr, FALSE);
}

void OnEditorClose() {
    ShowWindow(Editor.window, SW_HIDE);
    // The symbol table and the preview show what OK may have written.
    RedrawWindow(Editor.owner, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void OnEditorDestroy() {
    for (ScopedIcon& icon : Editor.icons) icon.Reset();
    Editor = EditorState();
}

LRESULT CALLBACK EditorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
            case WM_PAINT: OnEditorPaint(window); return 0;
            case WM_CLOSE: OnEditorClose(); return 0;
            case WM_DESTROY: OnEditorDestroy(); return 0;
            case WM_COMMAND: OnCommand(wParam, lParam); return 0;
            case WM_HSCROLL: OnEditorScroll(wParam, lParam); return 0;
            case WM_LBUTTONUP: return 0;
        }
    } catch (...) {
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// --- the grid ---

void PaintGrid(HDC target) {
    const SymbolWorkCopy& work = Editor.work;
    const int shownColumns = Editor.scrollMode ? kVisibleColumns : work.ColumnCount();
    const int rows = work.RowCount();
    {
        ScopedMemoryDC surface(CreateCompatibleDC(target));
        ScopedBitmap bitmap(CreateCompatibleBitmap(target, Editor.gridWidth, Editor.gridHeight));
        if (!surface || !bitmap) return;
        ScopedSelect selectBitmap(surface.Get(), bitmap.Get());
        const HBRUSH ink = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        const HBRUSH background = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        for (int i = 0; i < shownColumns; ++i) {
            for (int j = 0; j < rows; ++j) {
                // Both corners included: the grid lines cover the shared edges.
                RECT cell{kCellSize * i, kCellSize * j, kCellSize * i + kCellSize + 1, kCellSize * j + kCellSize + 1};
                FillRect(surface.Get(), &cell, work.Cell(Editor.viewOffset + i, rows - 1 - j) ? ink : background);
            }
        }
        BitBlt(target, 0, 0, Editor.gridWidth, Editor.gridHeight, surface.Get(), 0, 0, SRCCOPY);
    }
    ScopedPen pen(CreatePen(PS_SOLID, 1, kGridLine));
    ScopedSelect selectPen(target, pen.Get());
    for (int i = 0; i <= shownColumns; ++i) {
        MoveToEx(target, kCellSize * i, 0, nullptr);
        LineTo(target, kCellSize * i, Editor.gridHeight);
    }
    for (int j = 0; j <= rows; ++j) {
        MoveToEx(target, 0, kCellSize * j, nullptr);
        LineTo(target, Editor.gridWidth, kCellSize * j);
    }
}

void OnGridPaint(HWND grid) {
    ScopedPaint paint(grid);
    if (IsWindowVisible(grid) && DocumentExists()) PaintGrid(paint.Get());
}

// Positions left of or above the grid arrive during a captured drag as large
// unsigned words and fall outside too.
void SetCellAtPoint(LPARAM point, int ink) {
    const unsigned x = LOWORD(point);
    const unsigned y = HIWORD(point);
    RECT client;
    GetClientRect(Editor.grid, &client);
    if (y >= static_cast<unsigned>(client.bottom) || x >= static_cast<unsigned>(client.right)) return;
    const int column = Editor.viewOffset + static_cast<int>(x) / kCellSize;
    const int row = Editor.work.RowCount() - 1 - static_cast<int>(y) / kCellSize;
    Editor.work.SetCell(column, row, ink);
    UpdateByteString();
}

// A stroke, from the button's press to its release, is one step.
void EndStroke() {
    Editor.dragMode = 0;
    Editor.session.End(Editor.work);
    UpdateUndoButtons();
}

void OnGridButtonDown(HWND grid, LPARAM point, int dragMode) {
    SetCapture(grid);
    if (Editor.dragMode == 0) Editor.session.Begin(Editor.work);
    Editor.dragMode = dragMode;
    SetCellAtPoint(point, dragMode == 1 ? 1 : 0);
    InvalidateRect(grid, nullptr, FALSE);
}

void OnGridMouseMove(HWND grid, LPARAM point) {
    if (Editor.dragMode == 0) return;
    SetCellAtPoint(point, Editor.dragMode == 1 ? 1 : 0);
    InvalidateRect(grid, nullptr, FALSE);
}

void OnGridButtonUp(HWND grid) {
    EndStroke();
    ReleaseCapture();
    InvalidateRect(grid, nullptr, FALSE);
}

LRESULT CALLBACK GridWindowProc(HWND grid, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
            case WM_PAINT: OnGridPaint(grid); return 0;
            case WM_LBUTTONDOWN: OnGridButtonDown(grid, lParam, 1); return 0;
            case WM_RBUTTONDOWN: OnGridButtonDown(grid, lParam, 2); return 0;
            case WM_MOUSEMOVE: OnGridMouseMove(grid, lParam); return 0;
            case WM_LBUTTONUP:
            case WM_RBUTTONUP: OnGridButtonUp(grid); return 0;
            // Capture taken away mid-drag (another window, a message box): the
            // button-up will not come here, so the drag ends now.
            case WM_CAPTURECHANGED: EndStroke(); return 0;
        }
    } catch (...) {
        return 0;
    }
    return DefWindowProcA(grid, message, wParam, lParam);
}

// --- creation ---

bool RegisterClasses(HINSTANCE instance) {
    constexpr UINT kStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    return RegisterWindowClass(instance, {kEditorClass, EditorWindowProc, kStyle, PanelBackgroundBrush(), IDI_GLYVER}) &&
           RegisterWindowClass(instance, {kGridClass, GridWindowProc, kStyle,
                                          static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), 0});
}

void BuildMenu(HWND window) {
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, kLoadFromBitmap, "LoadFrom&Bitmap\tCTRL+V");
    AppendMenuA(file, MF_STRING, kLoadFromClipboard, "LoadFrom&Clipboard\tCTRL+O");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, kCloseEditWindow, "Close edit window");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    SetMenu(window, bar);
}

// Controls and labels use the GUI font: the texts then fit their fixed places
// whatever the system font's width.
HWND Control(const char* className, const char* text, DWORD exStyle, DWORD style, int x, int y, int width,
             int height) {
    HWND control = CreateWindowExA(exStyle, className, text, style, x, y, width, height, Editor.window, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return control;
}

void CreateControls(HINSTANCE instance) {
    const DWORD button = WS_CHILD | WS_VISIBLE;
    const DWORD numberField = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_READONLY;
    const DWORD numberFieldEx = WS_EX_CLIENTEDGE | WS_EX_TRANSPARENT;
    Editor.scrollBar = Control("SCROLLBAR", "", 0, WS_CHILD | SBS_HORZ, 100, 100, 100, 20);
    Editor.okButton = Control("BUTTON", "Ok", 0, button, 140, 495, 90, 25);
    Editor.cancelButton = Control("BUTTON", "Cancel", 0, button, 240, 495, 90, 25);
    struct ShiftButton {
        ShiftIcon which;
        int x, y, iconId;
    };
    const ShiftButton shifts[] = {
        {kIconUp, 315, 425, IDI_SHIFT_UP},
        {kIconDown, 315, 455, IDI_SHIFT_DOWN},
        {kIconRight, 345, 455, IDI_SHIFT_RIGHT},
        {kIconLeft, 285, 455, IDI_SHIFT_LEFT},
    };
    for (const ShiftButton& shift : shifts) {
        HWND handle = Control("BUTTON", "", 0, button | BS_ICON, shift.x, shift.y, 25, 25);
        Editor.shiftButtons[shift.which] = handle;
        Editor.icons[shift.which].Reset(static_cast<HICON>(
            LoadImageA(instance, MAKEINTRESOURCEA(shift.iconId), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
        SendMessageA(handle, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(Editor.icons[shift.which].Get()));
    }
    Editor.addColumnButton = Control("BUTTON", "Add Column", 0, button, 180, 380, 90, 20);
    Editor.deleteColumnButton = Control("BUTTON", "Delete Column", 0, button, 275, 380, 100, 20);
    Editor.byteString = Control("EDIT", "", WS_EX_CLIENTEDGE,
                                WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 85, 415,
                                190, 60);
    Editor.widthField = Control("EDIT", "", numberFieldEx, numberField, 145, 378, 30, 22);
    Editor.heightField = Control("EDIT", "", numberFieldEx, numberField, 145, 350, 30, 22);
    Editor.limitField = Control("EDIT", "", numberFieldEx, numberField, 290, 350, 30, 22);
    // Left of "Ok", where nothing else lies.
    Editor.undoButton = Control("BUTTON", "Undo", 0, button | WS_DISABLED, 8, 495, 60, 25);
    Editor.redoButton = Control("BUTTON", "Redo", 0, button | WS_DISABLED, 72, 495, 60, 25);
}

}  // namespace

HWND CreateSymbolEditor(HWND owner, const RECT& screenRect) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!RegisterClasses(instance)) return nullptr;
    HWND window = CreateWindowExA(0, kEditorClass, "Symbol Editor", WS_SYSMENU | WS_MINIMIZEBOX, screenRect.left,
                                  screenRect.top, screenRect.right - screenRect.left,
                                  screenRect.bottom - screenRect.top, owner, nullptr, instance, nullptr);
    if (!window) return nullptr;
    Editor = EditorState();
    Editor.window = window;
    Editor.owner = owner;
    BuildMenu(window);
    Editor.grid = CreateWindowExA(0, kGridClass, "", WS_CHILD | WS_VISIBLE | WS_BORDER, 5, 5, 10, 10, window,
                                  nullptr, instance, nullptr);
    CreateControls(instance);
    return window;
}

int LoadSymbolIntoEditor(Symbol* symbol) {
    Editor.editedSymbol = symbol;
    Editor.work.Load(*symbol);
    Editor.session.Clear();
    UpdateUndoButtons();
    SetNumber(Editor.heightField, Editor.work.HeightBytes());
    SetNumber(Editor.widthField, Editor.work.ColumnCount());
    SetNumber(Editor.limitField, Editor.work.HeightLimit());
    UpdateByteString();
    UpdateCaption();
    LayoutEditor(false);
    // A shown editor keeps its size for a symbol of the same size, and so
    // nothing else would repaint the grid, the labels and the limit field.
    InvalidateRect(Editor.window, nullptr, TRUE);
    return 1;
}

void DetachSymbolEditor() {
    Editor.editedSymbol = nullptr;
    Editor.dragMode = 0;
    if (Editor.window) ShowWindow(Editor.window, SW_HIDE);
}

void SetSymbolEditorDocumentSource(FontImageView* (*document)()) { DocumentSource = document; }

void SetSymbolEditorCommitHooks(void (*changing)(const Symbol&), void (*changed)(const Symbol&)) {
    CommitChanging = changing;
    CommitChanged = changed;
}

const Symbol* SymbolInEditor() { return Editor.editedSymbol; }

SymbolEditorInsight InspectSymbolEditor() {
    return SymbolEditorInsight{&Editor.work,
                               Editor.editedSymbol,
                               Editor.gridWidth,
                               Editor.gridHeight,
                               Editor.scrollMode,
                               Editor.viewOffset,
                               Editor.dragMode,
                               Editor.window,
                               Editor.grid,
                               Editor.scrollBar,
                               Editor.okButton,
                               Editor.cancelButton,
                               Editor.shiftButtons[kIconUp],
                               Editor.shiftButtons[kIconDown],
                               Editor.shiftButtons[kIconRight],
                               Editor.shiftButtons[kIconLeft],
                               Editor.addColumnButton,
                               Editor.deleteColumnButton,
                               Editor.byteString,
                               Editor.widthField,
                               Editor.heightField,
                               Editor.limitField,
                               Editor.undoButton,
                               Editor.redoButton};
}
