// Glyver, the font editor: start-up and the message loop.
#include <windows.h>

#include "EditorShell.h"
#include "ScopedWin.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    HWND window = StartEditor(instance);
    if (!window) return 0;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    DrawMenuBar(window);
    OpenCommandLineFile(commandLine);

    ScopedAccelerators accelerators(BuildAcceleratorTable());
    ScopedAccelerators undoKeys(BuildUndoAccelerators());
    // The symbol editor's keys are translated for it whichever window has
    // the focus, so they never reach the focused control; only the text
    // preview's field, which came later, keeps its keys. Ctrl+Z and Ctrl+Y go
    // to the symbol editor while it is active, else to the document.
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        const bool translate = !IsForTextPreviewField(message);
        if (translate && TranslateAcceleratorA(SymbolEditorWindow(), accelerators.Get(), &message)) continue;
        if (translate && TranslateAcceleratorA(UndoKeysTarget(), undoKeys.Get(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
