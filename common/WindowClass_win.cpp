#include "WindowClass_win.h"

#include "ScopedWin.h"

bool RegisterWindowClass(HINSTANCE instance, const WindowClassDescription& description) {
    WNDCLASSA existing;
    if (GetClassInfoA(instance, description.name, &existing)) return true;
    WNDCLASSA windowClass{};
    windowClass.style = description.style;
    windowClass.lpfnWndProc = description.procedure;
    windowClass.hInstance = instance;
    if (description.iconResource) windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(description.iconResource));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = description.background;
    windowClass.lpszClassName = description.name;
    return RegisterClassA(&windowClass) != 0;
}

HBRUSH PanelBackgroundBrush() {
    static ScopedBrush brush(CreateSolidBrush(RGB(212, 208, 200)));
    return brush.Get();
}
