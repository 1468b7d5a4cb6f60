// The open and save dialogs of both programs, shown through the seam
// (UiSeam.h) so that in-process tests can answer them.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <optional>
#include <string>

enum class FileDialogKind { kOpen, kSave };

// What each dialog is shown with; everything else of the request is zero.
struct FileDialogSettings {
    const char* filter;  // pairs of description and pattern, each ending in '\0'
    const char* title;
    DWORD flags;
    size_t bufferBytes;    // the zeroed buffer that receives the chosen name
    DWORD announcedChars;  // nMaxFile: what the dialog is told the buffer holds, at most bufferBytes
    DWORD structSize = sizeof(OPENFILENAMEA);
    const char* defaultExtension = nullptr;  // added to a typed name that has none
};

// Shows the dialog owned by owner. The chosen name, or nothing when the
// dialog was cancelled or failed. fileType, when given, is the filter's
// pair shown first (counted from 1) and receives the one chosen.
std::optional<std::string> AskFileName(HWND owner, FileDialogKind kind, const FileDialogSettings& settings,
                                       DWORD* fileType = nullptr);
