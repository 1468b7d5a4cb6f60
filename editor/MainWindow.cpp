// The editor shell: start-up, the main window with its menu bar, the command
// dispatch, the About box, the manual and Exit.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "EditorShell.h"
#include "FontImageView.h"
#include "ScopedWin.h"
#include "SymbolEditor.h"
#include "SymbolEditorHost.h"
#include "UiSeam.h"
#include "WindowClass_win.h"

namespace {

constexpr char kMainClass[] = "Glyver";
constexpr char kStartCaption[] = "Glyphmill ";

struct MainWindowState {
    HINSTANCE instance = nullptr;
    HWND window = nullptr;
    HWND symbolEditor = nullptr;
    std::string startupDirectory;
    ScopedFont panelFont;
    HMENU menuBar = nullptr;
    bool manualFound = false;
};

MainWindowState Shell;

struct AboutBoxState {
    ScopedBitmap picture;
};

AboutBoxState AboutBox;

bool AskDelete() { return Ui().messageBox(Shell.window, "Delete?", "", MB_OKCANCEL | MB_ICONQUESTION) == IDOK; }

// The stock fixed font at 15 pixels, normal weight.
HFONT CreatePanelFont() {
    LOGFONTA font{};
    GetObjectA(GetStockObject(ANSI_FIXED_FONT), sizeof font, &font);
    font.lfHeight = 15;
    font.lfWeight = FW_NORMAL;
    return CreateFontIndirectA(&font);
}

LRESULT OnCreate(HWND window) {
    Shell.window = window;
    CreatePanelWindows(window, Shell.instance);
    Shell.panelFont.Reset(CreatePanelFont());
    const RECT editorRect{0, 0, 390, 580};
    Shell.symbolEditor = CreateSymbolEditor(window, editorRect);
    ShowWindow(Shell.symbolEditor, SW_HIDE);
    SetConfirmDelete(AskDelete);
    ConnectSymbolEditorToHistory();
    DragAcceptFiles(window, TRUE);
    return 0;
}

void OnDestroy() {
    DestroyTextPreview();
    CloseDocument();
    DestroyPanelWindows();
    if (Shell.symbolEditor) DestroyWindow(Shell.symbolEditor);
    Shell.symbolEditor = nullptr;
    Shell.panelFont.Reset();
    Shell.menuBar = nullptr;
    Shell.window = nullptr;
    PostQuitMessage(0);
}

void OnPaint(HWND window) {
    ScopedPaint paint(window);
    ScopedSelect font(paint.Get(), Shell.panelFont.Get());
    SetBkMode(paint.Get(), TRANSPARENT);
    PaintPanelLabels(paint.Get());
    PaintTableHeadings(paint.Get());
}

void OnAboutPaint(HWND dialog) {
    ScopedPaint paint(dialog);
    if (!AboutBox.picture) return;
    ScopedMemoryDC source(CreateCompatibleDC(paint.Get()));
    ScopedSelect picture(source.Get(), AboutBox.picture.Get());
    BitBlt(paint.Get(), 10, 10, 260, 210, source.Get(), 0, 0, SRCCOPY);
}

void EndAboutBox(HWND dialog, INT_PTR result) {
    AboutBox.picture.Reset();
    EndDialog(dialog, result);
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        AboutBox.picture.Reset(LoadBitmapA(Shell.instance, MAKEINTRESOURCEA(IDB_ABOUT)));
        return TRUE;
    case WM_PAINT:
        OnAboutPaint(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDC_ABOUT_OK) return FALSE;
        EndAboutBox(dialog, static_cast<INT_PTR>(wParam));
        return TRUE;
    case WM_CLOSE:
        EndAboutBox(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

void OnExit() {
    if (MayCloseDocument()) PostQuitMessage(0);
}

void OnImportWindowsFont() {
    FontImageView* document = Document();
    if (!document) return;
    UndoHistory::Pending change = BeginChange({ChangePart::WholeFont(document->GetCurrentFont())});
    document->ImportWindowsFont(ProgressBarWindow());
    InvalidateSymbolViews(TRUE);
    EndChange(std::move(change));
}

void OnManual(HWND window) {
    ShellExecuteA(window, "open", "manual.pdf", nullptr, Shell.startupDirectory.c_str(), SW_SHOWNORMAL);
}

// Menu commands come with 0 in the high word; the whole wParam is compared.
void OnMenuCommand(HWND window, WPARAM command) {
    switch (command) {
    case kCommandNew:
        NewDocument();
        InvalidateRect(window, nullptr, TRUE);
        break;
    case kCommandOpen: OpenDocument(window); break;
    case kCommandSave: OnSave(); break;
    case kCommandSaveAs: OnSaveAs(); break;
    case kCommandExit: OnExit(); break;
    case kCommandSend: SendToPrinter(); break;
    case kCommandImportFont: OnImportWindowsFont(); break;
    case kCommandAbout:
        Ui().dialogBox(Shell.instance, MAKEINTRESOURCEA(IDD_ABOUT), window, AboutProc, 0);
        break;
    case kCommandManual: OnManual(window); break;
    case kCommandPreview: ShowTextPreview(); break;
    case kCommandExportFontFile: OnExportFontFile(); break;
    case kCommandImportFontFile: OnImportFontFile(); break;
    case kCommandCutSymbol: OnCutSymbol(); break;
    case kCommandCopySymbol: OnCopySymbol(); break;
    case kCommandPasteSymbol: OnPasteSymbol(); break;
    case kCommandDeleteSymbol: OnDeleteSymbol(); break;
    default: break;
    }
}

// Undo and Redo come from the menu (0 in the high word) or their keys (1).
bool OnUndoCommand(WPARAM wParam, LPARAM lParam) {
    if (lParam != 0 || HIWORD(wParam) > 1) return false;
    switch (LOWORD(wParam)) {
    case kCommandUndo: OnUndo(); return true;
    case kCommandRedo: OnRedo(); return true;
    default: return false;
    }
}

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (HandlePanelCommand(window, wParam, lParam, &result)) return result;
    if (OnUndoCommand(wParam, lParam)) return 0;
    OnMenuCommand(window, wParam);
    return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
        case WM_CREATE: return OnCreate(window);
        case WM_DESTROY: OnDestroy(); return 0;
        case WM_PAINT: OnPaint(window); return 0;
        case WM_COMMAND: return OnCommand(window, wParam, lParam);
        case WM_DROPFILES: OnDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;
        case WM_CLOSE:
            if (!MayCloseDocument()) return 0;
            break;
        case WM_KEYUP:
        case WM_LBUTTONDOWN:
        case WM_MOUSEMOVE:
        case WM_VSCROLL:
            return 0;
        default: break;
        }
    } catch (...) {
        // Out of memory in a handler: the command is dropped, the editor stays.
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterMainClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, {kMainClass, MainWindowProc, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS,
                                          PanelBackgroundBrush(), IDI_GLYVER});
}

struct MenuItem {
    WPARAM command;  // 0 for a separator
    const char* text;
    bool enabled;
};

HMENU BuildPopup(std::initializer_list<MenuItem> items) {
    HMENU popup = CreatePopupMenu();
    for (const MenuItem& item : items) {
        if (item.command == 0) {
            AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuA(popup, MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED), item.command, item.text);
        }
    }
    return popup;
}

void BuildMenuBar(HWND window) {
    HMENU file = BuildPopup({{kCommandNew, "&New", true},
                             {kCommandOpen, "&Open", true},
                             {kCommandSave, "&Save", false},
                             {kCommandSaveAs, "Save &As", false},
                             {kCommandExit, "E&xit", true}});
    HMENU edit = BuildPopup({{kCommandCutSymbol, "Cu&t Symbol", false},
                             {kCommandCopySymbol, "&Copy Symbol", false},
                             {kCommandPasteSymbol, "&Paste Symbol", false},
                             {0, nullptr, false},
                             {kCommandDeleteSymbol, "&Delete Symbol", false},
                             {0, nullptr, false},
                             {kCommandUndo, "&Undo\tCtrl+Z", false},
                             {kCommandRedo, "&Redo\tCtrl+Y", false}});
    HMENU send = BuildPopup({{kCommandSend, "&Send to printer", false}});
    HMENU font = BuildPopup({{kCommandImportFont, "&Import windows font", false}, {kCommandPreview, "&Preview...", false},
                             {kCommandImportFontFile, "Import font &file...", false},
                             {kCommandExportFontFile, "&Export font file...", false}});
    HMENU help = BuildPopup({{kCommandManual, "manual.pdf", Shell.manualFound}, {kCommandAbout, "&About", true}});
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), "&Edit");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(send), "&Send");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(font), "&Font");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&Help");
    SetMenu(window, bar);
    Shell.menuBar = bar;
}

bool ManualIsPresent() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("manual.pdf", &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

}  // namespace

HWND StartEditor(HINSTANCE instance) {
    CloseDocument();
    SetSymbolEditorDocumentSource(Document);
    Shell.instance = instance;
    char directory[1024] = {};
    GetCurrentDirectoryA(sizeof directory, directory);
    Shell.startupDirectory = directory;

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    if (!RegisterMainClass(instance)) return nullptr;

    HWND window = CreateWindowExA(0, kMainClass, kStartCaption, WS_SYSMENU | WS_MINIMIZEBOX, 50, 50, 700, 520,
                                  nullptr, nullptr, instance, nullptr);
    Shell.manualFound = ManualIsPresent();
    BuildMenuBar(window);
    return window;
}

HACCEL BuildAcceleratorTable() {
    ACCEL keys[] = {
        {FVIRTKEY | FCONTROL, 'O', kLoadFromBitmap}, {FVIRTKEY | FCONTROL, 'V', kLoadFromClipboard},
        {FVIRTKEY, VK_INSERT, kKeyInsert},           {FVIRTKEY, VK_DELETE, kKeyDelete},
        {FVIRTKEY, VK_RETURN, kKeyEnter},            {FVIRTKEY, VK_ESCAPE, kKeyEscape},
        {FVIRTKEY, VK_LEFT, kKeyLeft},               {FVIRTKEY, VK_RIGHT, kKeyRight},
        {FVIRTKEY, VK_UP, kKeyUp},                   {FVIRTKEY, VK_DOWN, kKeyDown},
    };
    return CreateAcceleratorTableA(keys, static_cast<int>(sizeof keys / sizeof keys[0]));
}

HACCEL BuildUndoAccelerators() {
    ACCEL keys[] = {{FVIRTKEY | FCONTROL, 'Z', kCommandUndo}, {FVIRTKEY | FCONTROL, 'Y', kCommandRedo}};
    return CreateAcceleratorTableA(keys, static_cast<int>(sizeof keys / sizeof keys[0]));
}

HWND UndoKeysTarget() {
    const bool editorActive = Shell.symbolEditor && IsWindowVisible(Shell.symbolEditor) &&
                              GetActiveWindow() == Shell.symbolEditor;
    return editorActive ? Shell.symbolEditor : Shell.window;
}

HWND MainWindow() { return Shell.window; }

HWND SymbolEditorWindow() { return Shell.symbolEditor; }

void EnableMenuCommand(WPARAM command) { SetMenuCommandEnabled(command, true); }

void SetMenuCommandEnabled(WPARAM command, bool enabled) {
    if (!Shell.menuBar) return;
    EnableMenuItem(Shell.menuBar, static_cast<UINT>(command), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

int AskSaveChanges() {
    return Ui().messageBox(Shell.window, "Save changes?", "Question", MB_YESNOCANCEL | MB_ICONQUESTION);
}

void ShowError(const char* text) { Ui().messageBox(Shell.window, text, "Error", MB_OK | MB_ICONERROR); }
