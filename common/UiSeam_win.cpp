#include "UiSeam.h"

namespace {

int RealMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    return MessageBoxA(owner, text, caption, type);
}

BOOL RealCreateProcess(const char* application, char* commandLine, SECURITY_ATTRIBUTES* processAttributes,
                       SECURITY_ATTRIBUTES* threadAttributes, BOOL inheritHandles, DWORD flags,
                       void* environment, const char* directory, STARTUPINFOA* startup,
                       PROCESS_INFORMATION* process) {
    return CreateProcessA(application, commandLine, processAttributes, threadAttributes, inheritHandles, flags,
                          environment, directory, startup, process);
}

BOOL RealGetOpenFileName(OPENFILENAMEA* request) { return GetOpenFileNameA(request); }

BOOL RealGetSaveFileName(OPENFILENAMEA* request) { return GetSaveFileNameA(request); }

BOOL RealChooseFont(CHOOSEFONTA* request) { return ChooseFontA(request); }

INT_PTR RealDialogBox(HINSTANCE instance, const char* name, HWND owner, DLGPROC procedure, LPARAM parameter) {
    return DialogBoxParamA(instance, name, owner, procedure, parameter);
}

UiSeam RealUi() {
    return UiSeam{RealMessageBox, RealGetOpenFileName, RealGetSaveFileName, RealChooseFont, RealCreateProcess,
                  RealDialogBox};
}

UiSeam TheUi = RealUi();

}  // namespace

UiSeam& Ui() { return TheUi; }

void RestoreRealUi() { TheUi = RealUi(); }
