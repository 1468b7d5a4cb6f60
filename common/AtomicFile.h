// File helpers shared by the programs: opening with retries, and replacing a
// file only once its new content is completely on disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
// The one owner of an open FILE*: closed when it goes out of scope.
using ScopedFile = std::unique_ptr<std::FILE, FileCloser>;

// Files are opened with up to this many immediate attempts before giving up.
constexpr int kOpenAttempts = 100;

// fopen with kOpenAttempts tries; null when every attempt failed.
ScopedFile OpenWithRetries(const std::string& path, const char* mode);
// fopen once.
ScopedFile OpenFile(const std::string& path, const char* mode);
// Closes file and says whether everything written reached the file.
bool CloseFile(ScopedFile file);

// Whether path can be replaced later (kOpenAttempts tries): an existing file
// must open for update, a missing one must be creatable; one made to find
// out is removed again, so that a failed replacement leaves nothing behind.
bool CanReplaceFile(const std::string& path);

// Writes size bytes to a temporary file beside path and renames it over
// path. On failure the previous content of path is untouched and the
// temporary file is removed.
bool WriteFileAtomically(const std::string& path, const uint8_t* data, size_t size);

// Moves from over to, replacing to if it exists (platform-specific).
bool ReplaceFileWith(const std::string& from, const std::string& to);
