// File helpers shared by the programs: opening with retries, reading a file
// whole, and replacing a file only once its new content is completely on disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Results.h"

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

// How reading a file went: a ReadResult code, and for a failure the
// system's own words for it.
struct FileRead {
    int result = ReadResult::kRead;
    std::string reason;
    explicit operator bool() const { return result == ReadResult::kRead; }
};

// Reads path, or what is left of file, into bytes, but no more than limit
// bytes: a caller that needs to know whether more follows asks for one byte
// past what it takes.
FileRead ReadAtMost(const std::string& path, size_t limit, std::vector<uint8_t>& bytes);
FileRead ReadAtMost(std::FILE* file, size_t limit, std::vector<uint8_t>& bytes);

// Makes a standard stream carry a file's bytes as they are. On Windows it is
// a text stream, which writes a byte 10 as 13 10 and ends the input at a 26.
void UseBinaryMode(std::FILE* stream);

// How a write or a check of a file went: a WriteResult code, and for a
// failure the system's own words for it.
struct FileWrite {
    int result = WriteResult::kWritten;
    std::string reason;
    explicit operator bool() const { return result == WriteResult::kWritten; }
};

// Writes size bytes to a new temporary file beside path, flushes it to the
// disk and renames it over path, then flushes the folder: after a crash path
// holds its old content or the new one, never a part. Where path is a
// symbolic link the file it leads to is replaced. A replaced file keeps its
// permissions (and, where the user may set them, its owner and group; on
// Windows its attributes and ACLs). A read-only file (one with no write
// permission for anyone, whoever the user is, root included), or one the
// user may not write, is refused: kReadOnly, or kNotYours for another user's
// file. replaceReadOnly replaces such a file of the user's. On every failure
// path is untouched and no temporary file is left.
FileWrite WriteFileAtomically(const std::string& path, const uint8_t* data, size_t size, bool replaceReadOnly = false);

// Whether WriteFileAtomically could replace path now, by the same rules: the
// file may be written and a temporary can be made beside it. Nothing is left.
FileWrite CheckReplaceable(const std::string& path, bool replaceReadOnly = false);

// CheckReplaceable with kOpenAttempts tries.
bool CanReplaceFile(const std::string& path);

// The name of a temporary file for target, in target's folder, unique to
// this attempt (the platform creates it only where no file has that name).
std::string TemporaryNameFor(const std::string& target);
