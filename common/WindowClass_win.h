// Window class registration shared by the programs' windows.
#pragma once

#include <windows.h>

struct WindowClassDescription {
    const char* name;
    WNDPROC procedure;
    UINT style;
    HBRUSH background;
    int iconResource;  // 0 for none
};

// Registers the class with the standard arrow cursor. A class that is
// already registered counts as done: the in-process tests create the windows
// more than once in one process.
bool RegisterWindowClass(HINSTANCE instance, const WindowClassDescription& description);

// The solid brush of RGB 212, 208, 200 behind the programs' windows. Classes
// keep their brush for the life of the process, so it is created once.
HBRUSH PanelBackgroundBrush();
