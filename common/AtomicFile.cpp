#include "AtomicFile.h"

#include <cerrno>

ScopedFile OpenFile(const std::string& path, const char* mode) { return ScopedFile(std::fopen(path.c_str(), mode)); }

ScopedFile OpenWithRetries(const std::string& path, const char* mode) {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (ScopedFile file = OpenFile(path, mode)) return file;
    }
    return nullptr;
}

bool CloseFile(ScopedFile file) { return std::fclose(file.release()) == 0; }

bool CanReplaceFile(const std::string& path) {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (OpenFile(path, "r+b")) return true;
        if (errno != ENOENT) continue;
        if (OpenFile(path, "wb")) {
            std::remove(path.c_str());
            return true;
        }
    }
    return false;
}

bool WriteFileAtomically(const std::string& path, const uint8_t* data, size_t size) {
    const std::string temporary = path + ".tmp";
    ScopedFile file = OpenFile(temporary, "wb");
    if (!file) return false;
    const bool written = std::fwrite(data, 1, size, file.get()) == size;
    const bool closed = CloseFile(std::move(file));
    if (written && closed && ReplaceFileWith(temporary, path)) return true;
    std::remove(temporary.c_str());
    return false;
}
