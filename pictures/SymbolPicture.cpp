#include "SymbolPicture.h"

#include <utility>

#include "AtomicFile.h"
#include "BmpReader.h"
#include "PngReader.h"

const char* DescribePictureProblem(PictureProblem problem) {
    switch (problem) {
        case PictureProblem::kNone: return "";
        case PictureProblem::kFileTooShort: return "The bitmap file is shorter than its headers.";
        case PictureProblem::kNotABitmap: return "The file is not a bitmap file.";
        case PictureProblem::kInfoHeaderSize: return "The bitmap's info header has a size of no known kind.";
        case PictureProblem::kOffsetOutOfRange:
            return "The bitmap's pixel data offset lies inside its headers or past the end of the file.";
        case PictureProblem::kBadDimensions: return "The bitmap's width or height is below 1.";
        case PictureProblem::kBadPlanes: return "The bitmap's number of colour planes is not 1.";
        case PictureProblem::kUnsupportedCompression:
            return "The bitmap's compression cannot be imported: only uncompressed, RLE8 and RLE4 bitmaps can.";
        case PictureProblem::kCompressionDepthMismatch: return "The bitmap's compression does not fit its colour depth.";
        case PictureProblem::kBadColourMasks: return "The bitmap's colour masks are missing or not contiguous.";
        case PictureProblem::kUnsupportedDepth: return "The bitmap's colour depth cannot be imported.";
        case PictureProblem::kColorTableTooShort: return "The bitmap's colour table is shorter than its depth needs.";
        case PictureProblem::kPixelDataTooShort: return "The bitmap file ends before its pixel data do.";
        case PictureProblem::kRunOutsidePicture: return "The bitmap's compressed pixel data run outside the picture.";
        case PictureProblem::kTooHigh: return "Bitmap height is larger than grid height";
        case PictureProblem::kTooWide: return "Bitmap width is larger than 128 pixels";
        case PictureProblem::kDamagedPng: return "The PNG file is damaged and cannot be imported.";
        case PictureProblem::kPictureTooLarge: return "The picture file is too large to be a symbol's picture.";
        case PictureProblem::kFileNotRead: return "The picture file cannot be read.";
    }
    return "The bitmap cannot be imported.";
}

PictureProblem CheckImportLimits(int width, int rows, int rowCount) {
    if (rows > rowCount) return PictureProblem::kTooHigh;
    if (width > kMaxImportWidth) return PictureProblem::kTooWide;
    return PictureProblem::kNone;
}

PictureProblem PlaceImportPicture(const InkPicture& picture, int rowCount, ImportPicture* out) {
    const PictureProblem problem = CheckImportLimits(picture.width, picture.height, rowCount);
    if (problem != PictureProblem::kNone) return problem;
    ImportPicture placed;
    placed.columns = picture.width;
    placed.rows = rowCount;
    placed.cells.assign(static_cast<size_t>(picture.width) * rowCount, 1);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (picture.IsInk(x, y)) placed.cells[static_cast<size_t>(x) * rowCount + (rowCount - 1 - y)] = 0;
        }
    }
    *out = std::move(placed);
    return PictureProblem::kNone;
}

namespace {

PictureProblem DamagedPng(const std::string& error, PictureFacts* facts) {
    if (facts) facts->pngError = error;
    return PictureProblem::kDamagedPng;
}

void TellSize(int width, int rows, PictureFacts* facts) {
    if (!facts) return;
    facts->width = width;
    facts->rows = rows;
}

// As a PNG is read: the size from the headers, the limits, which also bound
// what the decode allocates, then the pixels.
PictureProblem ReadBmpPicture(const uint8_t* data, size_t size, int rowCount, ImportPicture* out,
                              PictureFacts* facts) {
    BitmapLayout layout;
    PictureProblem problem = CheckBitmapFile(data, size, size, &layout);
    if (problem != PictureProblem::kNone) return problem;
    TellSize(layout.info.width, layout.info.Rows(), facts);
    problem = CheckImportLimits(layout.info.width, layout.info.Rows(), rowCount);
    if (problem != PictureProblem::kNone) return problem;
    InkPicture ink;
    problem = DecodeBitmapFile(layout, data, &ink);
    if (problem != PictureProblem::kNone) return problem;
    return PlaceImportPicture(ink, rowCount, out);
}

}  // namespace

PictureProblem ReadPngPicture(const uint8_t* data, size_t size, int rowCount, ImportPicture* out,
                              PictureFacts* facts) {
    std::string error;
    int width = 0;
    int rows = 0;
    // A PNG of zero width or height has no valid header: libpng refuses it here.
    if (!ReadPngSize(data, size, width, rows, error)) return DamagedPng(error, facts);
    TellSize(width, rows, facts);
    const PictureProblem problem = CheckImportLimits(width, rows, rowCount);
    if (problem != PictureProblem::kNone) return problem;
    InkPicture ink;
    if (!ReadPngInk(data, size, ink, error)) return DamagedPng(error, facts);
    return PlaceImportPicture(ink, rowCount, out);
}

PictureProblem ReadPicture(const uint8_t* data, size_t size, int rowCount, ImportPicture* out,
                           PictureFacts* facts) {
    return IsPng(data, size) ? ReadPngPicture(data, size, rowCount, out, facts)
                             : ReadBmpPicture(data, size, rowCount, out, facts);
}

PictureProblem CheckClipboardDib(const uint8_t* dib, size_t size, int rowCount, int* width) {
    BitmapInfo info;
    const PictureProblem problem = ReadInfoHeader(dib, size, &info);
    if (problem != PictureProblem::kNone) return problem;
    *width = info.width;
    return CheckImportLimits(info.width, info.Rows(), rowCount);
}

PictureProblem ReadPictureFile(std::FILE* file, std::vector<uint8_t>* bytes) {
    if (!ReadAtMost(file, kMaxPictureFileBytes + 1, *bytes)) return PictureProblem::kFileNotRead;
    return bytes->size() > static_cast<size_t>(kMaxPictureFileBytes) ? PictureProblem::kPictureTooLarge
                                                                     : PictureProblem::kNone;
}
