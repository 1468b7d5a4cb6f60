#include "FileDialog_win.h"

#include <cstring>
#include <vector>

#include "UiSeam.h"

std::optional<std::string> AskFileName(HWND owner, FileDialogKind kind, const FileDialogSettings& settings,
                                       DWORD* fileType) {
    std::vector<char> name(settings.bufferBytes, '\0');
    OPENFILENAMEA request{};
    request.lStructSize = settings.structSize;
    request.hwndOwner = owner;
    request.lpstrFilter = settings.filter;
    request.lpstrFile = name.data();
    request.nMaxFile = settings.announcedChars;
    request.lpstrTitle = settings.title;
    request.Flags = settings.flags;
    request.lpstrDefExt = settings.defaultExtension;
    if (fileType) request.nFilterIndex = *fileType;
    const BOOL chosen = kind == FileDialogKind::kOpen ? Ui().getOpenFileName(&request) : Ui().getSaveFileName(&request);
    if (chosen != TRUE) return std::nullopt;
    if (fileType) *fileType = request.nFilterIndex;
    // Bounded: a name that fills the buffer without its terminator is not read past it.
    return std::string(name.data(), strnlen(name.data(), name.size()));
}
