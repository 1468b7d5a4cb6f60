// File helpers shared by the programs: opening with retries, and replacing a
// file only once its new content is completely on disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// Files are opened with up to this many immediate attempts before giving up.
constexpr int kOpenAttempts = 100;

// fopen with kOpenAttempts tries; null when every attempt failed.
std::FILE* OpenWithRetries(const std::string& path, const char* mode);

// Writes size bytes to a temporary file beside path and renames it over
// path. On failure the previous content of path is untouched and the
// temporary file is removed.
bool WriteFileAtomically(const std::string& path, const uint8_t* data, size_t size);

// Moves from over to, replacing to if it exists (platform-specific).
bool ReplaceFileWith(const std::string& from, const std::string& to);
