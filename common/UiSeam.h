// The one seam between the programs and the system's modal dialogs and
// process start. The programs call these; in-process tests replace them with
// answers of their own. Defaults are the real Win32 functions.
#pragma once

#include <windows.h>
#include <commdlg.h>

struct UiSeam {
    int (*messageBox)(HWND owner, const char* text, const char* caption, UINT type);
    BOOL (*getOpenFileName)(OPENFILENAMEA* request);
    BOOL (*getSaveFileName)(OPENFILENAMEA* request);
    BOOL (*chooseFont)(CHOOSEFONTA* request);
    BOOL (*createProcess)(const char* application, char* commandLine, SECURITY_ATTRIBUTES* processAttributes,
                          SECURITY_ATTRIBUTES* threadAttributes, BOOL inheritHandles, DWORD flags,
                          void* environment, const char* directory, STARTUPINFOA* startup,
                          PROCESS_INFORMATION* process);
    // A modal dialog from a dialog resource of instance, as DialogBoxParamA.
    INT_PTR (*dialogBox)(HINSTANCE instance, const char* name, HWND owner, DLGPROC procedure, LPARAM parameter);
};

// The process-wide seam.
UiSeam& Ui();
// Puts the real functions back (for tests that replaced some).
void RestoreRealUi();
