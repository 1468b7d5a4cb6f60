// Reading Windows bitmaps for the symbol import: the checks on a .bmp file's
// headers (and on the info header of a clipboard DIB) that come before any
// pixel is read, and the reduction of the picture to ink and background cells.
// Portable: the bytes are parsed here, little-endian, with no platform help.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kBitmapHeadersSize = kFileHeaderSize + kInfoHeaderSize;
// The widest picture the import takes.
constexpr int kMaxImportWidth = 128;

enum class BitmapProblem {
    kNone,
    kFileTooShort,         // shorter than the two headers
    kNotABitmap,           // no "BM" signature
    kInfoHeaderSize,       // biSize is not 40
    kOffsetOutOfRange,     // bfOffBits inside the headers or past the end of the file
    kSizeNotAboveOffset,   // bfSize not greater than bfOffBits
    kFileShorterThanSize,  // the file ends before bfSize
    kBadDimensions,        // width or height below 1
    kUnsupportedFormat,    // planes other than 1, or a compressed bitmap
    kUnsupportedDepth,     // bits per pixel other than 1, 4, 8, 16, 24 or 32
    kColorTableTooShort,   // fewer colours between the headers and the pixels than the depth needs
    kPixelDataTooShort,    // fewer pixel bytes than width, height and depth need
    kTooHigh,              // higher than the grid
    kTooWide,              // wider than kMaxImportWidth
};

// The text of the message box that reports problem.
const char* DescribeBitmapProblem(BitmapProblem problem);

// The fields of a BITMAPINFOHEADER the import uses.
struct BitmapInfo {
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0;  // negative for a top-down bitmap
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;

    int Rows() const { return height < 0 ? -height : height; }
    bool TopDown() const { return height < 0; }
};

// Where the parts of a checked .bmp file lie.
struct BitmapLayout {
    BitmapInfo info;
    uint32_t declaredSize = 0;   // bfSize
    uint32_t pixelOffset = 0;    // bfOffBits
    uint32_t colorCount = 0;     // colour table entries the pixels may use (0 above 8 bits)
    uint32_t stride = 0;         // bytes per pixel row, padded to 4
    uint32_t pixelBytes = 0;     // stride x rows
    // Bytes of the file from its start that hold everything the picture needs.
    uint32_t BytesNeeded() const { return pixelOffset + pixelBytes; }
};

// The picture reduced for the editor: columns x rows, cell (c, r) with r
// counted from the bottom; 1 background, 0 ink.
struct ImportPicture {
    int columns = 0;
    int rows = 0;
    std::vector<uint8_t> cells;  // column-major

    bool IsInk(int column, int row) const { return cells[column * rows + row] == 0; }
};

// Reads the info header at the start of data (size bytes available), as in a
// clipboard DIB: biSize of at least 40 and within size, width and height of
// at least 1 (the height's magnitude, a negative one being top-down).
BitmapProblem ReadInfoHeader(const uint8_t* data, size_t size, BitmapInfo* out);

// Checks the 54 header bytes of a .bmp file of fileSize bytes (head holds
// headSize bytes from the file's start): every field the import relies on, so
// that the parts named in out lie within the file.
BitmapProblem CheckBitmapFile(const uint8_t* head, size_t headSize, uint64_t fileSize, BitmapLayout* out);

// The limits of the import, the height first: no higher than rowCount rows,
// no wider than kMaxImportWidth.
BitmapProblem CheckImportLimits(const BitmapInfo& info, int rowCount);

// Samples a checked file whose first layout.BytesNeeded() bytes are in file:
// the picture's top row lands on the top of rowCount rows, rows below it stay
// background; black gives ink and white background in every depth (a colour
// counts as ink when its mean of red, green and blue is below 128).
ImportPicture SampleBitmapFile(const BitmapLayout& layout, const uint8_t* file, int rowCount);

// The whole file import over bytes in memory: checks, limits, sampling.
BitmapProblem ReadBitmapFile(const uint8_t* data, size_t size, int rowCount, ImportPicture* out);
