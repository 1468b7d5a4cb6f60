// The symbol table (16 x 16 symbols of the current font), the preview box
// laid over it, and the Edit menu's Cut, Copy, Paste and Delete Symbol.
#include <windows.h>

#include <utility>
#include <vector>

#include "EditorShell.h"
#include "FontImageView.h"
#include "Results.h"
#include "ScopedWin.h"
#include "SymbolEditor.h"
#include "WindowClass_win.h"

namespace {

constexpr char kTableClass[] = "GridGlyver";
constexpr char kPreviewClass[] = "PreviewGlyver";

struct SymbolTableState {
    HWND table = nullptr;
    HWND preview = nullptr;
    // Whether the current document's symbol clipboard holds a symbol.
    bool clipboardFilled = false;
    // A Cut not yet pasted: which symbol of which font to clear on Paste.
    bool cutPending = false;
    int cutSymbolIndex = 0;
    const Font* cutFont = nullptr;
};

SymbolTableState Table;

POINT PointOf(LPARAM lParam) {
    return POINT{static_cast<LONG>(LOWORD(lParam)), static_cast<LONG>(HIWORD(lParam))};
}

// Makes the symbol under the point current and lays the preview box over it.
void PlacePreview(POINT point) {
    FontImageView* document = Document();
    const int code = document->SymbolAtPoint(point.x, point.y);
    document->SetCurrentSymbol(code);
    document->SetCursorSymbol(code);

    const Symbol& symbol = *document->GetSymbol(code);
    const int pixelRows = 8 * symbol.height;
    const int boxWidth = symbol.width <= 30 ? 40 : symbol.width + 10;
    const int boxHeight = 20 + (pixelRows <= 30 ? 40 : pixelRows + 10);

    CellRect cell;
    document->GetCursorCellRect(&cell);
    int x = cell.left + (cell.right - cell.left) / 2 - boxWidth / 2;
    int y = static_cast<int>(cell.top + (cell.bottom - cell.top) / 2 - 0.33 * boxHeight);
    if (x < 1) x = 1;
    if (y < 1) y = 1;
    RECT tableRect;
    GetWindowRect(Table.table, &tableRect);
    const int tableWidth = tableRect.right - tableRect.left;
    const int tableHeight = tableRect.bottom - tableRect.top;
    if (x + boxWidth >= tableWidth) x = tableWidth - boxWidth;
    if (y + boxHeight >= tableHeight) y = tableHeight - boxHeight;

    SetWindowPos(Table.preview, nullptr, x, y, boxWidth, boxHeight, SWP_SHOWWINDOW | SWP_NOZORDER);
    InvalidateRect(Table.preview, nullptr, TRUE);
}

void OnTablePaint(HWND window) {
    ScopedPaint paint(window);
    FontImageView* document = Document();
    if (!document) return;
    document->DrawSymbolTable(paint.Get(), kTableSize, kTableSize);
    // The table draws over its child; the box must come back on top.
    if (IsWindowVisible(Table.preview)) InvalidateRect(Table.preview, nullptr, TRUE);
}

// A left click also opens the symbol in the symbol editor.
void OnTableLeftClick(POINT point) {
    FontImageView* document = Document();
    if (!document) return;
    PlacePreview(point);
    const int code = document->SymbolAtPoint(point.x, point.y);
    document->SetCurrentSymbol(code);
    document->SetCursorSymbol(code);
    LoadSymbolIntoEditor(document->GetSymbol(document->GetCurrentSymbol()));
    ShowWindow(SymbolEditorWindow(), SW_SHOWNORMAL);
    SetForegroundWindow(SymbolEditorWindow());
}

void OnTableRightClick(POINT point) {
    if (Document()) PlacePreview(point);
}

LRESULT CALLBACK TableWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
        case WM_PAINT: OnTablePaint(window); break;
        case WM_LBUTTONDOWN: OnTableLeftClick(PointOf(lParam)); break;
        case WM_RBUTTONDOWN: OnTableRightClick(PointOf(lParam)); break;
        default: break;
        }
    } catch (...) {
        // Out of memory while drawing: the table stays as it was.
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void OnPreviewPaint(HWND window) {
    ScopedPaint paint(window);
    FontImageView* document = Document();
    if (!document) return;
    RECT client;
    GetClientRect(window, &client);
    FillRect(paint.Get(), &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT box;
    GetWindowRect(window, &box);
    document->DrawSymbolPreview(paint.Get(), box.left, box.top, box.right, box.bottom, -1);
}

// A click on the box acts as a click on the table at the same screen point.
void ForwardClickToTable(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RECT box;
    RECT table;
    GetWindowRect(window, &box);
    GetWindowRect(Table.table, &table);
    const POINT point = PointOf(lParam);
    const int x = point.x + (box.left - table.left);
    const int y = point.y + (box.top - table.top);
    SendMessageA(Table.table, message, wParam, MAKELPARAM(x, y));
}

LRESULT CALLBACK PreviewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
        case WM_PAINT: OnPreviewPaint(window); break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN: ForwardClickToTable(window, message, wParam, lParam); break;
        default: break;
        }
    } catch (...) {
        // Nothing to undo: the box is only drawn.
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterViewClass(HINSTANCE instance, const char* name, WNDPROC procedure) {
    return RegisterWindowClass(instance, {name, procedure, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS,
                                          static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), 0});
}

void CopyCurrentSymbol() {
    FontImageView* document = Document();
    document->CopySymbol(document->GetCurrentFont(), document->GetCurrentSymbol());
    Table.clipboardFilled = true;
    EnableMenuCommand(kCommandPasteSymbol);
}

// The list position of a font, or -1 when it is no longer in the list.
int IndexOfFont(const FontImageView& document, const Font* font) {
    for (int i = 0; i < document.GetFontCount(); ++i) {
        if (document.fonts[i] == font) return i;
    }
    return -1;
}

}  // namespace

bool CreateSymbolTableWindows(HWND mainWindow, HINSTANCE instance) {
    if (!RegisterViewClass(instance, kTableClass, TableWindowProc)) return false;
    if (!RegisterViewClass(instance, kPreviewClass, PreviewWindowProc)) return false;
    Table = SymbolTableState{};
    Table.table = CreateWindowExA(0, kTableClass, "", WS_CHILD | WS_VISIBLE | WS_BORDER, 35, 55, kTableSize,
                                  kTableSize, mainWindow, nullptr, instance, nullptr);
    Table.preview = CreateWindowExA(WS_EX_WINDOWEDGE, kPreviewClass, "", WS_CHILD | WS_VISIBLE | WS_BORDER, 452, 55,
                                    150, 150, Table.table, nullptr, instance, nullptr);
    return true;
}

void PaintTableHeadings(HDC dc) {
    const char* digits = "0123456789ABCDEF";
    for (int i = 0; i < 16; ++i) {
        RECT row{15, 62 + 25 * i, 30, 80 + 25 * i};
        const char rowText[3] = {digits[i], '0', 0};
        DrawTextA(dc, rowText, -1, &row, 0);
        RECT column{45 + 25 * i, 37, 65 + 25 * i, 55};
        const char columnText[2] = {digits[i], 0};
        DrawTextA(dc, columnText, -1, &column, 0);
    }
}

HWND SymbolTableWindow() { return Table.table; }

HWND PreviewWindow() { return Table.preview; }

void InvalidateSymbolViews(BOOL erasePreview) {
    InvalidateRect(Table.table, nullptr, FALSE);
    InvalidateRect(Table.preview, nullptr, erasePreview);
}

void OnCutSymbol() {
    FontImageView* document = Document();
    if (!document) return;
    CopyCurrentSymbol();
    Table.cutPending = true;
    Table.cutSymbolIndex = document->GetCurrentSymbol();
    Table.cutFont = document->fonts[document->GetCurrentFont()];
}

void OnCopySymbol() {
    if (!Document()) return;
    Table.cutPending = false;
    CopyCurrentSymbol();
}

void OnPasteSymbol() {
    FontImageView* document = Document();
    if (!document || !Table.clipboardFilled) return;
    const int font = document->GetCurrentFont();
    const int code = document->GetCurrentSymbol();
    // Only the symbol that was cut is cleared, and not when it was just
    // pasted onto itself.
    const int cutFont = Table.cutPending ? IndexOfFont(*document, Table.cutFont) : -1;
    const bool clearCut = cutFont >= 0 && !(cutFont == font && Table.cutSymbolIndex == code);
    std::vector<ChangePart> parts{ChangePart::Symbol(font, code)};
    if (clearCut) parts.push_back(ChangePart::Symbol(cutFont, Table.cutSymbolIndex));
    UndoHistory::Pending change = BeginChange(parts);
    if (document->PasteSymbol(font, code) == EditResult::kTooWide) {
        ShowError("The symbol is too wide for the height of this font. It was not pasted.");
        return;
    }
    if (clearCut) document->ClearSymbol(cutFont, Table.cutSymbolIndex, 0);
    Table.cutPending = false;
    Table.cutFont = nullptr;
    InvalidateSymbolViews(FALSE);
    EndChange(std::move(change));
}

void OnDeleteSymbol() {
    FontImageView* document = Document();
    if (!document) return;
    UndoHistory::Pending change =
        BeginChange({ChangePart::Symbol(document->GetCurrentFont(), document->GetCurrentSymbol())});
    document->ClearSymbol(document->GetCurrentFont(), document->GetCurrentSymbol(), 1);
    InvalidateSymbolViews(FALSE);
    EndChange(std::move(change));
}

void ForgetSymbolClipboard() {
    Table.clipboardFilled = false;
    Table.cutPending = false;
    Table.cutFont = nullptr;
}

void ForgetCutInFont(const Font* font) {
    if (Table.cutFont == font) ForgetPendingCut();
}

void ForgetPendingCut() {
    Table.cutPending = false;
    Table.cutFont = nullptr;
}
