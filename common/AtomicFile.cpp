#include "AtomicFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>

ScopedFile OpenFile(const std::string& path, const char* mode) { return ScopedFile(std::fopen(path.c_str(), mode)); }

ScopedFile OpenWithRetries(const std::string& path, const char* mode) {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (ScopedFile file = OpenFile(path, mode)) return file;
    }
    return nullptr;
}

bool CloseFile(ScopedFile file) { return std::fclose(file.release()) == 0; }

FileRead ReadAtMost(std::FILE* file, size_t limit, std::vector<uint8_t>& bytes) {
    bytes.clear();
    uint8_t chunk[1 << 16];
    while (bytes.size() < limit) {
        const size_t wanted = std::min(sizeof chunk, limit - bytes.size());
        const size_t got = std::fread(chunk, 1, wanted, file);
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (got < wanted) break;
    }
    if (std::ferror(file)) return {ReadResult::kNotRead, std::strerror(errno)};
    return {};
}

FileRead ReadAtMost(const std::string& path, size_t limit, std::vector<uint8_t>& bytes) {
    const ScopedFile file = OpenFile(path, "rb");
    if (!file) return {ReadResult::kNotOpened, std::strerror(errno)};
    return ReadAtMost(file.get(), limit, bytes);
}

bool CanReplaceFile(const std::string& path) {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (CheckReplaceable(path)) return true;
    }
    return false;
}

namespace {

// splitmix64: spreads the bits of a counter and a clock over the whole word.
uint64_t Mixed(uint64_t value) {
    value += 0x9E3779B97F4A7C15ull;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
    return value ^ (value >> 31);
}

}  // namespace

// Unpredictable enough that two writers rarely pick one name; the exclusive
// creation of the platform makes sure neither takes the other's file.
std::string TemporaryNameFor(const std::string& target) {
    static std::atomic<uint64_t> counter{0};
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const uint64_t now = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    uint64_t bits = Mixed(now ^ Mixed(counter++ ^ reinterpret_cast<uintptr_t>(&counter)));
    std::string suffix;
    for (int i = 0; i < 6; ++i, bits /= 62) suffix += kLetters[bits % 62];
    return target + "." + suffix + ".tmp";
}
