// A PNG taken into the symbol editor as a bitmap is: the import's limits,
// tested on the picture's size before any pixel is decoded, then its ink
// (pictures/PngReader: alpha below 128 is background) placed on the top of
// the grid. Shared by the editor's file and clipboard imports and by
// glyphmill glyph --from. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "BitmapHeader.h"

// The most bytes of a picture file that are read whole into memory: a
// symbol's picture takes a few kilobytes, so more is not a picture to import.
constexpr long kMaxPictureFileBytes = 1 << 24;

// Reads the PNG in data (size bytes) into rowCount rows. On success fills
// out; otherwise out is left alone and the problem returned: kTooHigh or
// kTooWide, or kDamagedPng with libpng's reason in detail. pictureSize
// receives the size from the PNG's header when it could be read. Either of
// the two may be null.
BitmapProblem ReadPngPicture(const uint8_t* data, size_t size, int rowCount, ImportPicture* out,
                             BitmapInfo* pictureSize, std::string* detail);
