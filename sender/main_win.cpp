// glysend: sends a font image file to the printer over a COM port, and reads
// one back.
#include <windows.h>

#include "SenderWindow_win.h"

// lpCmdLine goes unused: the window takes the whole command line
// (GetCommandLineA) when it is created, so that it shows the file from the
// start, and it looks for " -fn:" with the blank after the program's name,
// which lpCmdLine leaves out.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    if (!RegisterSenderClass(instance)) return 0;
    const HWND window = CreateSenderWindow(instance);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
