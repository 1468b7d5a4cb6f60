// What the picture readers (BmpReader, PngReader) hand back: a picture's
// pixels as ink and background, or the problem that stopped the reading.
// Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Why a picture was not taken; the texts the user sees are in SymbolPicture.h.
enum class PictureProblem {
    kNone,
    kFileTooShort,              // shorter than its headers (or a DIB shorter than its info header)
    kNotABitmap,                // neither the PNG nor the BMP signature
    kInfoHeaderSize,            // an info header size of no known kind
    kOffsetOutOfRange,          // bfOffBits inside the headers or past the end of the file
    kBadDimensions,             // width or height below 1
    kBadPlanes,                 // planes other than 1
    kUnsupportedCompression,    // JPEG, PNG, Huffman, RLE24 or an unknown compression
    kCompressionDepthMismatch,  // RLE8 not at 8 bits, RLE4 not at 4, masks not at 16 or 32
    kBadColourMasks,            // a colour mask that is not one run of bits, or none at all
    kUnsupportedDepth,          // bits per pixel other than 1, 4, 8, 16, 24 or 32
    kColorTableTooShort,        // fewer colours before the pixels than the depth needs (none, in an OS/2 file)
    kPixelDataTooShort,         // the file ends before the pixels (or the run-length stream) do
    kRunOutsidePicture,         // a run-length run or delta that would leave the picture
    kTooHigh,                   // higher than the symbol's rows
    kTooWide,                   // wider than a symbol takes
    kDamagedPng,                // a PNG that libpng cannot read
    kPictureTooLarge,           // a file, or a picture, too large to be a symbol's picture
    kFileNotRead,               // reading the picture file failed
};

// The most pixels a reader decodes: far more than a symbol's picture has.
constexpr long long kMaxInkPixels = 1 << 24;

struct InkPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> ink;  // row by row from the top, 1 ink, 0 background

    bool IsInk(int x, int y) const { return ink[static_cast<size_t>(y) * width + x] != 0; }
};
