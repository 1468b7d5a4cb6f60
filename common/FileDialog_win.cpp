#include "FileDialog_win.h"

#include <cstring>
#include <vector>

#include "UiSeam.h"

std::optional<std::string> AskFileName(HWND owner, FileDialogKind kind, const FileDialogSettings& settings) {
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
    const BOOL chosen = kind == FileDialogKind::kOpen ? Ui().getOpenFileName(&request) : Ui().getSaveFileName(&request);
    if (chosen != TRUE) return std::nullopt;
    // Bounded: a name that fills the buffer without its terminator is not read past it.
    return std::string(name.data(), strnlen(name.data(), name.size()));
}
