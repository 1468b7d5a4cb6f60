#include "WinBenchSupport_win.h"

#include <commdlg.h>

#include "EditorShell.h"
#include "FontImageView.h"
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

}  // namespace

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
