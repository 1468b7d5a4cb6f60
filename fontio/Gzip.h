// Font files kept gzip'ed, as the console's fonts (.psf.gz) and Unifont's
// .hex.gz are: unpacked in memory by zlib before they are read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The most bytes a font file may take unpacked: Unifont's whole .hex is a
// twentieth of it, and more is a file made to fill the memory.
constexpr size_t kMaxUnpackedBytes = size_t{1} << 26;

// Whether data start with gzip's magic number.
bool IsGzip(const uint8_t* data, size_t size);

// Replaces gzip'ed bytes (every member of the stream, as gzip -d reads them)
// by what they unpack to, and leaves other bytes alone. False, with error
// saying why, for a damaged or cut stream, or for bytes past
// kMaxUnpackedBytes, packed or not.
bool UnpackFontFile(std::vector<uint8_t>& bytes, std::string& error);
