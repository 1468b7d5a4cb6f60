// The text preview (Font menu "Preview..."): a line the user types, drawn as
// the printer prints it with the current font, each dot a square, once at a
// small scale and once at a large one, which scrolls sideways. It follows
// the typing and every change of the font; Escape closes it.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "EditorShell.h"
#include "FontImageView.h"
#include "PrintedLine.h"
#include "ScopedWin.h"
#include "WindowClass_win.h"

namespace {

constexpr char kPreviewClass[] = "GlyverTextPreview";
constexpr char kCaption[] = "Preview";
constexpr char kFirstText[] = "Glyphmill prints: 0123456789 ABC abc";
constexpr int kMargin = 10;
constexpr int kFieldHeight = 24;
constexpr int kClientWidth = 760;
constexpr int kClientHeight = 330;
// Each line has room for 32 rows, the highest font.
constexpr int kSmallScale = 2;
constexpr int kLargeScale = 6;
constexpr int kSmallTop = kMargin + kFieldHeight + kMargin;
constexpr int kLargeTop = kSmallTop + 32 * kSmallScale + kMargin;
constexpr int kLineRoom = kClientWidth - 2 * kMargin;
constexpr int kLargeDotsShown = kLineRoom / kLargeScale;
// The dots an arrow of the scroll bar moves the large line by.
constexpr int kScrollStep = 8;

struct TextPreviewState {
    HWND window = nullptr;
    HWND field = nullptr;
    int firstLargeDot = 0;  // the large line's leftmost dot shown
};

TextPreviewState Preview;

std::vector<int> CodesOfField() {
    char text[512] = {};
    GetWindowTextA(Preview.field, text, sizeof text);
    std::vector<int> codes;
    for (const char* c = text; *c; ++c) codes.push_back(static_cast<unsigned char>(*c));
    return codes;
}

void OnPaint(HWND window) {
    ScopedPaint paint(window);
    // Drawn off the screen first, so that typing does not flicker.
    ScopedMemoryDC surface(CreateCompatibleDC(paint.Get()));
    ScopedBitmap bitmap(CreateCompatibleBitmap(paint.Get(), kClientWidth, kClientHeight));
    if (!surface || !bitmap) return;
    ScopedSelect selected(surface.Get(), bitmap.Get());
    DrawTextPreviewLines(surface.Get());
    BitBlt(paint.Get(), 0, kSmallTop, kClientWidth, kClientHeight - kSmallTop, surface.Get(), 0, kSmallTop, SRCCOPY);
}

// The large line's dots beyond the first one that can be shown.
int LargeScrollLimit(long long lineWidth) {
    return static_cast<int>(std::clamp<long long>(lineWidth - kLargeDotsShown, 0, INT_MAX));
}

// The scroll bar follows the line's width; the shown part stays within it.
void UpdateScrollBar() {
    const FontImageView* document = Document();
    const long long width =
        document ? LineWidth(document->FontAt(document->GetCurrentFont()), CodesOfField()) : 0;
    Preview.firstLargeDot = std::clamp(Preview.firstLargeDot, 0, LargeScrollLimit(width));
    SCROLLINFO bar{sizeof bar, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL, 0,
                   static_cast<int>(std::clamp<long long>(width - 1, 0, INT_MAX)), kLargeDotsShown,
                   Preview.firstLargeDot, 0};
    SetScrollInfo(Preview.window, SB_HORZ, &bar, TRUE);
}

void InvalidateLines() {
    UpdateScrollBar();
    RECT lines{0, kSmallTop, kClientWidth, kClientHeight};
    InvalidateRect(Preview.window, &lines, FALSE);
}

void OnScroll(WORD code) {
    SCROLLINFO bar{};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_ALL;
    GetScrollInfo(Preview.window, SB_HORZ, &bar);
    int first = bar.nPos;
    switch (code) {
    case SB_LEFT: first = 0; break;
    case SB_RIGHT: first = bar.nMax; break;
    case SB_LINELEFT: first -= kScrollStep; break;
    case SB_LINERIGHT: first += kScrollStep; break;
    case SB_PAGELEFT: first -= kLargeDotsShown; break;
    case SB_PAGERIGHT: first += kLargeDotsShown; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: first = bar.nTrackPos; break;
    default: return;
    }
    Preview.firstLargeDot = first;  // brought into the line's range next
    InvalidateLines();
}

// The field keeps the focus, so Escape reaches it wherever the user is in
// the window.
LRESULT CALLBACK FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        SendMessageA(Preview.window, WM_CLOSE, 0, 0);
        return 0;
    }
    if (message == WM_CHAR && wParam == VK_ESCAPE) return 0;
    if (message == WM_NCDESTROY) RemoveWindowSubclass(field, FieldProc, 0);
    return DefSubclassProc(field, message, wParam, lParam);
}

LRESULT CALLBACK PreviewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
        case WM_PAINT: OnPaint(window); return 0;
        case WM_COMMAND:
            if (reinterpret_cast<HWND>(lParam) == Preview.field && HIWORD(wParam) == EN_CHANGE) InvalidateLines();
            return 0;
        case WM_HSCROLL: OnScroll(LOWORD(wParam)); return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) SetFocus(Preview.field);
            return 0;
        case WM_CLOSE: ShowWindow(window, SW_HIDE); return 0;
        case WM_DESTROY: Preview = TextPreviewState{}; return 0;
        default: break;
        }
    } catch (...) {
        // Out of memory while drawing: the preview stays as it was.
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool CreatePreview() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!RegisterWindowClass(instance, {kPreviewClass, PreviewProc, CS_DBLCLKS, PanelBackgroundBrush(), IDI_GLYVER})) {
        return false;
    }
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_HSCROLL;
    RECT outer{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    outer.bottom += GetSystemMetrics(SM_CYHSCROLL);
    RECT owner;
    GetWindowRect(MainWindow(), &owner);
    Preview.window = CreateWindowExA(0, kPreviewClass, kCaption, style, owner.left + 20, owner.bottom - 120,
                                     outer.right - outer.left, outer.bottom - outer.top, MainWindow(), nullptr,
                                     instance, nullptr);
    if (!Preview.window) return false;
    Preview.field = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", kFirstText, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                                    kMargin, kMargin, kClientWidth - 2 * kMargin, kFieldHeight, Preview.window,
                                    nullptr, instance, nullptr);
    SendMessageA(Preview.field, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    SendMessageA(Preview.field, EM_LIMITTEXT, 255, 0);
    SetWindowSubclass(Preview.field, FieldProc, 0, 0);
    return true;
}

}  // namespace

void DrawTextPreviewLines(HDC dc) {
    RECT lines{0, kSmallTop, kClientWidth, kClientHeight};
    FillRect(dc, &lines, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FontImageView* document = Document();
    if (!document || !Preview.field) return;
    const Font& font = document->FontAt(document->GetCurrentFont());
    const std::vector<int> codes = CodesOfField();
    const int first = Preview.firstLargeDot;
    DrawPrintedLine(dc, PrintLine(font, codes, kLineRoom / kSmallScale), kMargin, kSmallTop, kSmallScale);
    DrawPrintedLine(dc, PrintLine(font, codes, first + kLargeDotsShown), kMargin, kLargeTop, kLargeScale, first);
}

// A top-down 32-bit picture of the dots from firstDot on, stretched so that
// each is a scale x scale square.
void DrawPrintedLine(HDC dc, const PrintedLine& line, int left, int top, int scale, int firstDot) {
    const int width = line.width - firstDot;
    if (width <= 0 || line.rows == 0) return;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * line.rows);
    for (int y = 0; y < line.rows; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels[static_cast<size_t>(y) * width + x] = line.IsInk(firstDot + x, y) ? 0x000000u : 0xFFFFFFu;
        }
    }
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -line.rows, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, left, top, width * scale, line.rows * scale, 0, 0, width, line.rows, pixels.data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
}

void ShowTextPreview() {
    if (!Preview.window && !CreatePreview()) return;
    ShowWindow(Preview.window, SW_SHOWNORMAL);
    SetFocus(Preview.field);
    InvalidateLines();
}

void RefreshTextPreview() {
    if (Preview.window && IsWindowVisible(Preview.window)) InvalidateLines();
}

void DestroyTextPreview() {
    if (Preview.window) DestroyWindow(Preview.window);
    Preview = TextPreviewState{};
}

HWND TextPreviewWindow() { return Preview.window; }

HWND TextPreviewField() { return Preview.field; }

bool IsForTextPreviewField(const MSG& message) { return Preview.field && message.hwnd == Preview.field; }
