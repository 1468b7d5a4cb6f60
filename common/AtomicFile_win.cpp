#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include "AtomicFile.h"
#include "ScopedWin.h"

namespace {

// The system's text for error, without the line break it ends in.
FileWrite Failure(DWORD error) {
    char text[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, sizeof text,
                   nullptr);
    std::string reason = text;
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
        reason.pop_back();
    return {WriteResult::kFailed, reason.empty() ? "error " + std::to_string(error) : reason};
}

constexpr DWORD kNoFile = INVALID_FILE_ATTRIBUTES;
constexpr DWORD kNormalizedDosName = 0;  // FILE_NAME_NORMALIZED | VOLUME_NAME_DOS

// Refuses what may not be replaced: a folder, a read-only file (unless
// replaceReadOnly), a file another program holds open. attributes are the
// file's, or kNoFile for a file still to make.
FileWrite Inspect(const std::string& path, bool replaceReadOnly, DWORD& attributes) {
    attributes = GetFileAttributesA(path.c_str());
    if (attributes == kNoFile) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? FileWrite{} : Failure(error);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Failure(ERROR_DIRECTORY);
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        if (replaceReadOnly) return {};
        return {WriteResult::kReadOnly, Failure(ERROR_ACCESS_DENIED).reason};
    }
    const ScopedHandle open(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return open ? FileWrite{} : Failure(GetLastError());
}

// A new empty file beside path, made only where no file has its name.
ScopedHandle CreateTemporary(const std::string& path, std::string& name) {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        name = TemporaryNameFor(path);
        ScopedHandle file(CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return ScopedHandle();
}

bool WriteAll(HANDLE file, const uint8_t* data, size_t size) {
    while (size > 0) {
        DWORD written = 0;
        const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        if (!WriteFile(file, data, chunk, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

// The file path names: where path is a symbolic link, or lies in a linked
// folder, the file it leads to, so that the link stays; path itself when it
// names no file yet.
std::string FinalPath(const std::string& path) {
    // Looked up, not linked: Windows XP has no symbolic links, nor this call.
    using FinalPathFn = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);
    static const auto finalPathOf = reinterpret_cast<FinalPathFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA")));
    if (!finalPathOf) return path;
    const ScopedHandle file(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) return path;
    char final[4 * MAX_PATH];
    const DWORD length = finalPathOf(file.Get(), final, sizeof final, kNormalizedDosName);
    if (length == 0 || length >= sizeof final) return path;
    const std::string resolved(final, length);
    if (resolved.rfind("\\\\?\\UNC\\", 0) == 0) return "\\" + resolved.substr(7);
    if (resolved.rfind("\\\\?\\", 0) == 0) return resolved.substr(4);
    return resolved;
}

// Puts temporary in the place of path. A replaced file's attributes, ACLs
// and owner go to the new content (ReplaceFile); a forced read-only file is
// made writable for it and read-only again after.
FileWrite PutInPlace(const std::string& temporary, const std::string& path, DWORD attributes) {
    // The write-through move returns once the new name is on the disk.
    if (attributes == kNoFile)
        return MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH) ? FileWrite{} : Failure(GetLastError());
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly && !SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) return Failure(GetLastError());
    const bool replaced =
        ReplaceFileA(path.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
    const FileWrite outcome = replaced ? FileWrite{} : Failure(GetLastError());
    // ReplaceFile has no write-through: flushing the file takes its new
    // names to the disk before the write is done.
    if (replaced) {
        const ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) FlushFileBuffers(file.Get());
    }
    if (readOnly) SetFileAttributesA(path.c_str(), attributes);
    return outcome;
}

}  // namespace

FileWrite CheckReplaceable(const std::string& path, bool replaceReadOnly) {
    const std::string target = FinalPath(path);
    DWORD attributes = kNoFile;
    if (FileWrite refused = Inspect(target, replaceReadOnly, attributes); !refused) return refused;
    std::string temporary;
    if (!CreateTemporary(target, temporary)) return Failure(GetLastError());
    DeleteFileA(temporary.c_str());
    return {};
}

FileWrite WriteFileAtomically(const std::string& path, const uint8_t* data, size_t size, bool replaceReadOnly) {
    const std::string target = FinalPath(path);
    DWORD attributes = kNoFile;
    if (FileWrite refused = Inspect(target, replaceReadOnly, attributes); !refused) return refused;
    std::string temporary;
    ScopedHandle file = CreateTemporary(target, temporary);
    if (!file) return Failure(GetLastError());
    const bool written = WriteAll(file.Get(), data, size) && FlushFileBuffers(file.Get());
    const DWORD writeError = GetLastError();
    const bool closed = CloseHandle(file.Release()) != 0;
    FileWrite outcome =
        !written ? Failure(writeError) : !closed ? Failure(GetLastError()) : PutInPlace(temporary, target, attributes);
    if (!outcome) DeleteFileA(temporary.c_str());
    return outcome;
}

void UseBinaryMode(std::FILE* stream) { _setmode(_fileno(stream), _O_BINARY); }
