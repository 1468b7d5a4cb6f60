// Glyver, the font editor: start-up and the message loop.
#include <windows.h>

#include "EditorShell.h"
#include "ScopedWin.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    HWND window = StartEditor(instance);
    if (!window) return 0;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    DrawMenuBar(window);

    ScopedAccelerators accelerators(BuildAcceleratorTable());
    // The symbol editor's keys are translated for it whichever window has
    // the focus, so they never reach the focused control.
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorA(SymbolEditorWindow(), accelerators.Get(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
