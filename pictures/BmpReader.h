// The BMP reader: the checks on a .bmp file's headers (and on the info
// header of a clipboard DIB) that come before any pixel is read, and the
// decoding of the picture into ink and background. Every header that common programs write is read: the OS/2 core
// (12 bytes) and OS/2 2.x (16 to 64) headers, BITMAPINFOHEADER (40) and its
// successors V2 to V5 (52, 56, 108, 124); pixels uncompressed at 1 to 32 bits,
// with colour masks at 16 and 32 bits, or run-length encoded (RLE8, RLE4).
// Two common departures are read as ImageMagick and Pillow read them: 16-bit
// bitfields with the masks left out, and OS/2 colour tables cut short.
// Portable: the bytes are parsed here, little-endian, with no platform help.
#pragma once

#include <cstddef>
#include <cstdint>
#include "InkPicture.h"

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;  // BITMAPINFOHEADER

// The fields of an info header the reader uses, whatever its kind.
struct BitmapInfo {
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0;  // negative for a top-down bitmap
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;  // as written; its meaning depends on the header's kind
    uint32_t colorsUsed = 0;

    int Rows() const { return height < 0 ? -height : height; }
    bool TopDown() const { return height < 0; }
};

// How the pixel data of a checked file are stored.
enum class PixelEncoding {
    kIndexed,  // 1, 4 or 8 bits, indexes into the colour table
    kRle8,     // run-length encoded indexes, a byte each
    kRle4,     // run-length encoded indexes, a nibble each
    kDirect,   // 16, 24 or 32 bits of colour, read through masks
};

// Where each channel lies in a 16-, 24- or 32-bit pixel.
struct ColourMasks {
    uint32_t red = 0, green = 0, blue = 0, alpha = 0;
};

// Where the parts of a checked .bmp file lie and how to read them.
struct BitmapLayout {
    BitmapInfo info;
    PixelEncoding encoding = PixelEncoding::kIndexed;
    ColourMasks masks;
    // 32 bits without masks: the fourth byte is alpha only if some pixel's is not 0.
    bool alphaIfAnyNonZero = false;
    uint32_t tableOffset = 0;  // where the colour table starts: after the info header and any masks
    uint32_t entrySize = 4;    // bytes per colour table entry: 3 after an OS/2 core header
    uint32_t colorCount = 0;   // colour table entries the pixels may use (0 above 8 bits)
    uint32_t pixelOffset = 0;  // bfOffBits
    uint64_t stride = 0;       // bytes per stored row of an uncompressed picture, padded to 4
    // Bytes from pixelOffset that the decode reads: what an uncompressed
    // picture needs (the last row without its padding), or a run-length
    // stream up to the file's end.
    uint64_t pixelBytes = 0;

    uint32_t TableBytes() const { return entrySize * colorCount; }
    // Bytes from the file's start that hold the headers, masks and colour table.
    uint32_t HeadBytes() const { return tableOffset + TableBytes(); }
};

// Reads the info header at the start of data (size bytes available), as in a
// clipboard DIB: a header of a known kind, all of it within size, and a
// width and height of at least 1 (the height's magnitude, a negative one
// being top-down).
PictureProblem ReadInfoHeader(const uint8_t* data, size_t size, BitmapInfo* out);

// Checks the headers of a .bmp file of fileSize bytes (head holds headSize
// bytes from the file's start; the file header, the largest info header and
// four colour masks, 154 bytes, are enough): every field the decode relies on, so that the parts named in out lie within the file. The
// declared file size (bfSize) is not trusted: real files often get it wrong.
PictureProblem CheckBitmapFile(const uint8_t* head, size_t headSize, uint64_t fileSize, BitmapLayout* out);

// Decodes a checked file whose layout.HeadBytes() first bytes and
// layout.pixelBytes bytes from layout.pixelOffset are in file into out, rows
// from the top. A pixel is ink by the common rule (common/Ink.h) unless its
// alpha is below 128; pixels a run-length stream skips are background.
// Refuses a picture of more than kMaxInkPixels pixels, and a run-length
// stream that leaves the picture or ends early; out is filled only on success.
PictureProblem DecodeBitmapFile(const BitmapLayout& layout, const uint8_t* file, InkPicture* out);
