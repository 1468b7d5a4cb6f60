// Raw font dumps: a character ROM read out, a DOS font file (.f08, .f14,
// .f16), a printer's own font memory. 256 glyphs of the same size one after
// the other, each its rows from the top, a row (width + 7) / 8 bytes with the
// leftmost pixel in the high bit; nothing says their size but the user.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "BitmapFont.h"

constexpr int kRawDumpGlyphs = 256;

// Reads the 256 glyphs of width x height pixels (1 to 32 each) that start
// offset bytes into bytes; what follows them is not read. False, with error
// saying how many glyphs the file holds, for one too short.
bool ReadRawDump(const std::vector<uint8_t>& bytes, int width, int height, uint64_t offset, BitmapFont& font,
                 std::string& error);
