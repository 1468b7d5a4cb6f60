#include "WindowClass_win.h"

#include "ScopedWin.h"

bool RegisterWindowClass(HINSTANCE instance, const WindowClassSpec& spec) {
    WNDCLASSA existing;
    if (GetClassInfoA(instance, spec.name, &existing)) return true;
    WNDCLASSA windowClass{};
    windowClass.style = spec.style;
    windowClass.lpfnWndProc = spec.procedure;
    windowClass.hInstance = instance;
    if (spec.iconResource) windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(spec.iconResource));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = spec.background;
    windowClass.lpszClassName = spec.name;
    return RegisterClassA(&windowClass) != 0;
}

HBRUSH PanelBackgroundBrush() {
    static ScopedBrush brush(CreateSolidBrush(RGB(212, 208, 200)));
    return brush.Get();
}
