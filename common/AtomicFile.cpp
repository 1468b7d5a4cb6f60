#include "AtomicFile.h"

std::FILE* OpenWithRetries(const std::string& path, const char* mode) {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (std::FILE* file = std::fopen(path.c_str(), mode)) return file;
    }
    return nullptr;
}

bool WriteFileAtomically(const std::string& path, const uint8_t* data, size_t size) {
    const std::string temporary = path + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    const bool closed = std::fclose(file) == 0;
    if (written && closed && ReplaceFileWith(temporary, path)) return true;
    std::remove(temporary.c_str());
    return false;
}
