#include "PngImport.h"

#include "PngReader.h"

namespace {

BitmapProblem Damaged(const std::string& error, std::string* detail) {
    if (detail) *detail = error;
    return BitmapProblem::kDamagedPng;
}

}  // namespace

BitmapProblem ReadPngPicture(const uint8_t* data, size_t size, int rowCount, ImportPicture* out,
                             BitmapInfo* pictureSize, std::string* detail) {
    std::string error;
    BitmapInfo info;
    if (!ReadPngSize(data, size, info.width, info.height, error)) return Damaged(error, detail);
    if (pictureSize) *pictureSize = info;
    // A PNG of zero width or height has no valid header, so libpng refused it already.
    const BitmapProblem problem = CheckImportLimits(info, rowCount);
    if (problem != BitmapProblem::kNone) return problem;
    InkPicture ink;
    if (!ReadPngInk(data, size, ink, error)) return Damaged(error, detail);
    return PlaceImportPicture(ink.ink, ink.width, ink.height, rowCount, out);
}
