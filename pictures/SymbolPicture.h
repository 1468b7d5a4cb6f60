// Pictures taken into a symbol, as the symbol editor's import and glyphmill
// glyph --from take them: a PNG or BMP file (or the clipboard's PNG or DIB),
// the symbol's limits tested on the picture's size before any pixel is
// decoded, and its ink placed on the top of the symbol's rows. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "InkPicture.h"

// The widest picture a symbol takes.
constexpr int kMaxImportWidth = 128;
// The most bytes of a picture file that are read whole into memory: a
// symbol's picture takes a few kilobytes, so more is not a picture to import.
constexpr long kMaxPictureFileBytes = 1 << 24;

// The picture placed on the symbol's rows: columns x rows cells, cell (c, r)
// with r counted from the bottom; 1 background, 0 ink.
struct ImportPicture {
    int columns = 0;
    int rows = 0;
    std::vector<uint8_t> cells;  // column-major

    bool IsInk(int column, int row) const { return cells[column * rows + row] == 0; }
};

// The text of the message box that reports problem.
const char* DescribePictureProblem(PictureProblem problem);

// What a read learnt beside its result, for a fuller report.
struct PictureFacts {
    int width = 0;  // the picture's size, once its header has been read
    int rows = 0;
    std::string pngError;  // libpng's reason, for kDamagedPng
};

// The limits, the height first: no higher than rowCount rows, no wider than
// kMaxImportWidth.
PictureProblem CheckImportLimits(int width, int rows, int rowCount);

// Places picture on the top of rowCount rows, the rows below it background;
// refuses one beyond the limits.
PictureProblem PlaceImportPicture(const InkPicture& picture, int rowCount, ImportPicture* out);

// The picture in data (size bytes), a PNG or a BMP by its signature, placed
// on rowCount rows. On success fills out; otherwise leaves it alone and
// returns the problem. facts may be null.
PictureProblem ReadPicture(const uint8_t* data, size_t size, int rowCount, ImportPicture* out,
                           PictureFacts* facts = nullptr);
// The same for data known to be a PNG (the clipboard's): anything else is a
// damaged PNG.
PictureProblem ReadPngPicture(const uint8_t* data, size_t size, int rowCount, ImportPicture* out,
                              PictureFacts* facts = nullptr);

// The clipboard's bitmap: the info header at the start of its DIB (size
// bytes), checked, and the limits on its size. width receives the picture's
// width.
PictureProblem CheckClipboardDib(const uint8_t* dib, size_t size, int rowCount, int* width);

// Reads the rest of an open picture file into bytes: kPictureTooLarge beyond
// kMaxPictureFileBytes, kFileNotRead when reading fails (errno tells why).
PictureProblem ReadPictureFile(std::FILE* file, std::vector<uint8_t>* bytes);
