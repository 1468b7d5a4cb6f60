#include "WinBenchSupport_win.h"

#include <commdlg.h>

#include <cstring>
#include <string>

#include "EditorShell.h"
#include "FontImageView.h"
#include "GlyverIds.h"
#include "UiSeam.h"

namespace {

int chosenFontHeight = 1;

BOOL ChooseDejaVuMono(CHOOSEFONTA* request) {
    LOGFONTA& font = *request->lpLogFont;
    font = LOGFONTA{};
    font.lfHeight = 8 * chosenFontHeight;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = ANSI_CHARSET;
    lstrcpyA(font.lfFaceName, "DejaVu Sans Mono");
    return TRUE;
}

constexpr UINT kAnswerOptions = WM_APP + 0x3B;
std::string fontFilePath;
int importHeight = 0;
DLGPROC optionsProcedure = nullptr;

BOOL ChooseFontFile(OPENFILENAMEA* request) {
    std::strncpy(request->lpstrFile, fontFilePath.c_str(), request->nMaxFile - 1);
    return TRUE;
}

// The options dialog's own procedure; once it is set up, the height and OK.
INT_PTR CALLBACK AnswerOptions(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kAnswerOptions) {
        const INT_PTR result = optionsProcedure(dialog, message, wParam, lParam);
        if (message == WM_INITDIALOG) PostMessageA(dialog, kAnswerOptions, 0, 0);
        return result;
    }
    const HWND heights = GetDlgItem(dialog, IDC_IMPORT_HEIGHT);
    SendMessageA(heights, CB_SETCURSEL, importHeight, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_IMPORT_HEIGHT, CBN_SELCHANGE), reinterpret_cast<LPARAM>(heights));
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    return TRUE;
}

INT_PTR ShowOptions(HINSTANCE instance, const char* name, HWND owner, DLGPROC procedure, LPARAM parameter) {
    optionsProcedure = procedure;
    return DialogBoxParamA(instance, name, owner, AnswerOptions, parameter);
}

}  // namespace

void AnswerImportFontFile(const char* path, int height) {
    fontFilePath = path;
    importHeight = height;
    Ui().getOpenFileName = ChooseFontFile;
    Ui().dialogBox = ShowOptions;
}

HWND StartBenchEditor(int fontHeight) {
    chosenFontHeight = fontHeight;
    Ui().chooseFont = ChooseDejaVuMono;
    HWND window = StartEditor(GetModuleHandleA(nullptr));
    if (!window) return nullptr;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    SendMessageA(window, WM_COMMAND, kCommandNew, 0);
    Document()->SetFontHeight(0, fontHeight);
    return window;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
